#include "control_factory.h"

#include "afx_resources.h"

#include "module_resources.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>

namespace qtlayer {

namespace {

constexpr std::uint16_t kButtonAtom = 0x80;
constexpr std::uint16_t kEditAtom = 0x81;
constexpr std::uint16_t kStaticAtom = 0x82;
constexpr std::uint16_t kComboBoxAtom = 0x85;
constexpr DWORD kStaticTypeMask = 0x1F;
constexpr DWORD kButtonTypeMask = 0x0F;
constexpr DWORD kComboTypeMask = 0x03;

QString Text(const res::DialogItem& item)
{
    return QString::fromStdU16String(item.text);
}

// Without auto-scrolling, a Windows edit field takes no more text than its width shows.
class FitsWidthValidator : public QValidator {
public:
    explicit FitsWidthValidator(QLineEdit* edit) : QValidator(edit), m_edit(edit) {}
    State validate(QString& text, int&) const override
    {
        const int room = m_edit->contentsRect().width() - 2 * m_edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        return m_edit->fontMetrics().horizontalAdvance(text) <= room ? Acceptable : Invalid;
    }

private:
    QLineEdit* m_edit;
};

QWidget* MakeButton(const res::DialogItem& item, QWidget* parent)
{
    auto* button = new QPushButton(Text(item), parent);
    // Enter is dispatched by the dialog as Windows does it, not by Qt's auto-default buttons.
    button->setAutoDefault(false);
    button->setDefault((item.style & kButtonTypeMask) == BS_DEFPUSHBUTTON);
    return button;
}

QWidget* MakeStatic(const res::DialogItem& item, const DialogMetrics& metrics, QWidget* parent, ControlKind& kind)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if ((item.style & kStaticTypeMask) == SS_ICON) {
        kind = ControlKind::StaticIcon;
        HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(item.textOrdinal.value_or(0)));
        if (icon != nullptr)
            label->setPixmap(icon->icon.pixmap(QSize(32, 32), label->devicePixelRatioF()));
        // An icon static takes the icon's own size, whatever the template gives.
        label->setGeometry(metrics.X(item.x), metrics.Y(item.y), 32, 32);
        return label;
    }
    kind = ControlKind::Static;
    label->setWordWrap(true);
    label->setText(StaticText(item));
    return label;
}

QWidget* MakeEdit(const res::DialogItem& item, QWidget* parent, ControlKind& kind)
{
    if (item.style & ES_MULTILINE) {
        kind = ControlKind::MultiLineEdit;
        auto* edit = new QPlainTextEdit(parent);
        edit->setReadOnly(item.style & ES_READONLY);
        // Nothing in a read-only box can be undone: without this, the undo history of every
        // append the tool makes would grow with the box, many times the size of its text.
        edit->setUndoRedoEnabled(!(item.style & ES_READONLY));
        edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard |
                                      ((item.style & ES_READONLY) ? Qt::NoTextInteraction : Qt::TextEditable));
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy((item.style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setFrameShape((item.style & WS_BORDER) ? QFrame::StyledPanel : QFrame::NoFrame);
        return edit;
    }
    kind = ControlKind::Edit;
    auto* edit = new QLineEdit(parent);
    edit->setFrame(item.style & WS_BORDER);
    edit->setReadOnly(item.style & ES_READONLY);
    if (!(item.style & ES_AUTOHSCROLL))
        edit->setValidator(new FitsWidthValidator(edit));
    return edit;
}

QWidget* MakeComboBox(const res::DialogItem& item, const DialogMetrics& metrics, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    const bool editable = (item.style & kComboTypeMask) == CBS_DROPDOWN;
    combo->setEditable(editable);
    if (editable) {
        // A Windows drop-down list never takes typed text in, and does not complete it.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        if (!(item.style & CBS_AUTOHSCROLL))
            combo->lineEdit()->setValidator(new FitsWidthValidator(combo->lineEdit()));
    }
    // The template's height includes the opened list: the field keeps the font's height.
    const int fieldHeight = combo->sizeHint().height();
    combo->setGeometry(metrics.X(item.x), metrics.Y(item.y), metrics.X(item.cx), fieldHeight);
    const int itemHeight = combo->fontMetrics().height() + 2;
    combo->setMaxVisibleItems(std::max(1, (metrics.Y(item.cy) - fieldHeight) / itemHeight));
    combo->view()->setVerticalScrollBarPolicy((item.style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    return combo;
}

}  // namespace

QString StaticText(const res::DialogItem& item)
{
    const QString text = Text(item);
    if (item.style & SS_NOPREFIX)
        return text;
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == u'&')
            continue;
        shown += text[i];
    }
    return shown;
}

MadeControl MakeControl(const res::DialogItem& item, const DialogMetrics& metrics, QWidget* parent)
{
    MadeControl made;
    switch (item.classAtom) {
    case kButtonAtom:
        made = {MakeButton(item, parent), ControlKind::PushButton};
        break;
    case kStaticAtom:
        made.widget = MakeStatic(item, metrics, parent, made.kind);
        break;
    case kEditAtom:
        made.widget = MakeEdit(item, parent, made.kind);
        break;
    case kComboBoxAtom:
        made = {MakeComboBox(item, metrics, parent), ControlKind::ComboBox};
        break;
    default:
        made = {new QWidget(parent), ControlKind::Other};
        break;
    }
    if (made.kind != ControlKind::ComboBox && made.kind != ControlKind::StaticIcon)
        made.widget->setGeometry(metrics.Rect(item.x, item.y, item.cx, item.cy));
    const bool tabStop = item.style & WS_TABSTOP;
    const bool focusable = made.kind != ControlKind::Static && made.kind != ControlKind::StaticIcon;
    made.widget->setFocusPolicy(tabStop ? Qt::StrongFocus : (focusable ? Qt::ClickFocus : Qt::NoFocus));
    made.widget->setEnabled(!(item.style & WS_DISABLED));
    made.widget->setVisible(item.style & WS_VISIBLE);
    return made;
}

}  // namespace qtlayer
