#include "control_text.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace qtlayer {

namespace {

// A Windows edit breaks lines at CR LF; Qt at a line feed.
QString ForDisplay(std::string_view text)
{
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

void ShowNewestLine(QPlainTextEdit& edit)
{
    edit.moveCursor(QTextCursor::End);
    edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum());
}

// The result box grows by appends: when the new text only extends the old one (and the old one
// ends on a whole character), only the new part is converted and laid out.
void SetMultiLineText(HWND__& control, QPlainTextEdit& edit, std::string_view text)
{
    std::string& old = control.text;
    const bool extends = text.size() >= old.size() && text.compare(0, old.size(), old) == 0 &&
                         (old.empty() || static_cast<unsigned char>(old.back()) < 0x80) &&
                         !(old.size() > 0 && old.back() == '\r' && text.size() > old.size() && text[old.size()] == '\n');
    if (extends && !old.empty()) {
        const std::string_view added = text.substr(old.size());
        QTextCursor end(edit.document());
        end.movePosition(QTextCursor::End);
        end.insertText(ForDisplay(added));
        old.append(added);
    } else {
        edit.setPlainText(ForDisplay(text));
        old.assign(text);
    }
    ShowNewestLine(edit);
}

}  // namespace

std::string GetText(const HWND__& control)
{
    QWidget* widget = control.widget.data();
    QString text;
    if (auto* multiLine = qobject_cast<QPlainTextEdit*>(widget)) {
        if (multiLine->isReadOnly())
            return control.text;
        return multiLine->toPlainText().replace(u'\n', QStringLiteral("\r\n")).toStdString();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        text = edit->text();
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        text = combo->currentText();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        text = button->text();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        text = label->text();
    else
        text = widget->windowTitle();
    return text.toStdString();
}

void SetText(HWND__& control, std::string_view text)
{
    QWidget* widget = control.widget.data();
    if (auto* multiLine = qobject_cast<QPlainTextEdit*>(widget)) {
        SetMultiLineText(control, *multiLine, text);
        return;
    }
    const QString converted = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        // As on Windows, the typing limit does not apply to a text that is set: it stays whole.
        edit->setMaxLength(std::max(edit->maxLength(), static_cast<int>(converted.size())));
        edit->setText(converted);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->setEditText(converted);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(converted);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(converted);
    else
        widget->setWindowTitle(converted);
}

}  // namespace qtlayer
