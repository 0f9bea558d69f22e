// The floor the start-up benchmark measures the tool against: a plain Qt dialog with the main
// dialog's widgets, caption, font and pixel layout, and nothing else: no resources, no icon, no
// system menu. What vornikal costs beyond this is the class library's and the icon's.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The main dialog's rectangles as the template gives them in the stand-in face (12 px).
void AddLabels(QDialog& dialog)
{
    const struct { const char* text; QRect box; } labels[] = {
        {"Bytes to Send", {14, 57, 88, 17}}, {"Byte[0]", {24, 87, 50, 17}}, {"Byte[1]", {24, 117, 50, 17}},
        {"Byte[2]", {24, 149, 50, 17}},      {"Byte[3]", {24, 179, 50, 17}},
    };
    for (const auto& [text, box] : labels)
        (new QLabel(QString::fromLatin1(text), &dialog))->setGeometry(box);
}

void AddFields(QDialog& dialog)
{
    for (const int y : {51, 83, 113, 142, 172})
        (new QLineEdit(&dialog))->setGeometry(104, y, 80, 30);
    auto* result = new QPlainTextEdit(&dialog);
    result->setReadOnly(true);
    result->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    result->setGeometry(218, 15, 242, 183);
    auto* baud = new QComboBox(&dialog);
    baud->setEditable(true);
    baud->addItems({"14400", "19200", "38400", "56000", "57600"});
    baud->setCurrentIndex(-1);
    baud->setGeometry(14, 15, 172, baud->sizeHint().height());
}

void AddButtons(QDialog& dialog)
{
    auto* send = new QPushButton(QStringLiteral("Send"), &dialog);
    send->setDefault(true);
    send->setGeometry(14, 208, 168, 30);
    (new QPushButton(QStringLiteral("Clear Result"), &dialog))->setGeometry(218, 208, 242, 30);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("KESTRAVO v1.0 by OLVANE"));
    QFont font(QStringLiteral("Noto Serif CJK TC"));
    font.setPixelSize(12);
    dialog.setFont(font);
    dialog.setFixedSize(474, 253);
    AddButtons(dialog);
    AddLabels(dialog);
    AddFields(dialog);
    return dialog.exec();
}
