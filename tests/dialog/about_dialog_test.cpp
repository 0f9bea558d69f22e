// The system menu, the About box and the minimized-window chores of the main dialog.
#include "dialog_driver.h"
#include "dialog_window.h"
#include "module_resources.h"
#include "probe_dialog.h"
#include "resource.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const char* const kAboutEntry = "關於 VORNIKAL(&A)...";

std::vector<std::pair<UINT_PTR, std::string>> MenuEntries(HWND dialog)
{
    std::vector<std::pair<UINT_PTR, std::string>> entries;
    for (const MenuEntry& entry : ::GetSystemMenu(dialog, FALSE)->entries)
        entries.emplace_back((entry.flags & MF_SEPARATOR) ? 0 : entry.command,
                             (entry.flags & MF_SEPARATOR) ? "-" : entry.text.toStdString());
    return entries;
}

// Fills every field so a test can see that nothing changed.
void FillEverything(DialogDriver& d)
{
    d.SelectRate(3);
    for (int id : {IDC_SEND_COUNT, IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3})
        d.SetText(id, "4" + std::to_string(id));
    d.SetText(IDC_RESULT, "01010101\r\n");
}

void ExpectEverythingKept(DialogDriver& d)
{
    EXPECT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCURSEL), 3);
    for (int id : {IDC_SEND_COUNT, IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3})
        EXPECT_EQ(d.Text(id), "4" + std::to_string(id));
    EXPECT_EQ(d.Text(IDC_RESULT), "01010101\r\n");
}

class AboutTest : public ::testing::Test {
protected:
    // The application object makes the main dialog the About box's owner, as in the tool.
    CWinApp app;
    CProbeDialog dialog;
    void SetUp() override { app.m_pMainWnd = &dialog; }
};

TEST_F(AboutTest, TheSystemMenuEndsWithASeparatorAndTheAboutEntry)
{
    RunModal(dialog, [](DialogDriver& d) {
        const auto entries = MenuEntries(d.Handle());
        ASSERT_EQ(entries.size(), 4u);
        EXPECT_EQ(entries[0].first, SC_MOVE);
        EXPECT_EQ(entries[1].first, SC_CLOSE);
        EXPECT_EQ(entries[2].second, "-");
        EXPECT_EQ(entries[3], (std::pair<UINT_PTR, std::string>{IDM_ABOUT, kAboutEntry}));
    });
}

TEST_F(AboutTest, EveryWayOfOpeningTheSystemMenuShowsIt)
{
    RunModal(dialog, [](DialogDriver& d) {
        const std::vector<std::pair<const char*, std::function<void()>>> ways = {
            {"Alt+Space", [&] { d.Key(IDC_BYTE0, Qt::Key_Space, Qt::AltModifier); }},
            {"Shift+F10", [&] { d.Key(IDC_SEND_COUNT, Qt::Key_F10, Qt::ShiftModifier); }},
            {"Menu key", [&] { d.Key(IDOK, Qt::Key_Menu); }},
            {"right-click on the free area",
             [&] { QTest::mouseClick(d.Window(), Qt::RightButton, {}, QPoint(d.Window()->width() / 2, 3)); }},
        };
        for (const auto& [name, open] : ways) {
            QStringList shown;
            const bool opened = WithPopup(open, [&](QWidget& popup) {
                for (QAction* action : popup.actions())
                    shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
                static_cast<QMenu&>(popup).close();
            });
            EXPECT_TRUE(opened) << name;
            EXPECT_EQ(shown.join(u'|').toStdString(), std::string("&Move|&Close\tAlt+F4|-|") + kAboutEntry) << name;
        }
        EXPECT_TRUE(d.Running());
    });
}

TEST_F(AboutTest, TheAboutEntryChosenByItsMnemonicOpensTheAboutBox)
{
    RunModal(dialog, [](DialogDriver& d) {
        std::string caption;
        const auto chooseAbout = [&] {
            WithPopup([&] { d.Key(0, Qt::Key_Space, Qt::AltModifier); },
                      [](QWidget& popup) { QTest::keyClick(&popup, Qt::Key_A); });
        };
        EXPECT_TRUE(WithNestedModal(chooseAbout, [&](DialogDriver& about) {
            caption = about.Text(0);
            about.Key(0, Qt::Key_Escape);
        }));
        EXPECT_EQ(caption, "關於 VORNIKAL");
        EXPECT_TRUE(d.Running());
    });
}

TEST_F(AboutTest, OnlyCommandsSixteenToThirtyOneOpenTheAboutBox)
{
    RunModal(dialog, [](DialogDriver& d) {
        for (UINT command : {16u, 17u, 31u}) {
            const bool opened = WithNestedModal([&] { d.Send(0, WM_SYSCOMMAND, command); },
                                                [](DialogDriver& about) { about.Click(IDOK); });
            EXPECT_TRUE(opened) << command;
        }
        for (UINT command : {15u, 32u}) {
            const bool opened = WithNestedModal([&] { d.Send(0, WM_SYSCOMMAND, command); },
                                                [](DialogDriver& about) { about.Click(IDOK); });
            EXPECT_FALSE(opened) << command;
        }
        EXPECT_TRUE(d.Running());
    });
}

TEST_F(AboutTest, AStandardCommandGetsThePlatformsHandling)
{
    EXPECT_EQ(RunModal(dialog, [](DialogDriver& d) { d.Send(0, WM_SYSCOMMAND, SC_CLOSE); }), IDCANCEL);
    const INT_PTR result = RunModal(dialog, [](DialogDriver& d) {
        WithPopup([&] { d.Key(0, Qt::Key_F10, Qt::ShiftModifier); },
                  [](QWidget& popup) { QTest::keyClick(&popup, Qt::Key_C); });
    });
    EXPECT_EQ(result, IDCANCEL) << "Close from the menu ends the dialog as Escape does";
}

TEST_F(AboutTest, TheAboutBoxShowsItsTemplateAndKeepsTheMainDialogWaiting)
{
    RunModal(dialog, [](DialogDriver& d) {
        WithNestedModal([&] { d.Send(0, WM_SYSCOMMAND, IDM_ABOUT); }, [&](DialogDriver& about) {
            EXPECT_EQ(about.Text(0), "關於 VORNIKAL");
            EXPECT_EQ(about.Text(IDOK), "確定");
            const auto labels = about.Window()->findChildren<QLabel*>();
            QStringList texts;
            int icons = 0;
            for (const QLabel* label : labels) {
                texts << label->text();
                icons += !label->pixmap().isNull();
            }
            EXPECT_TRUE(texts.contains("VORNIKAL Version 1.0"));
            EXPECT_EQ(icons, 1) << "the icon static shows icon group 128";
            EXPECT_FALSE(d.Window()->isEnabled()) << "the main dialog takes no input meanwhile";
            EXPECT_EQ(QApplication::activeModalWidget(), about.Window());
            about.Click(IDOK);
        });
        EXPECT_TRUE(d.Window()->isEnabled());
    });
}

TEST_F(AboutTest, ClosingTheAboutBoxAnyWayLeavesTheMainDialogAsItWas)
{
    RunModal(dialog, [](DialogDriver& d) {
        FillEverything(d);
        const std::vector<std::pair<const char*, std::function<void(DialogDriver&)>>> closers = {
            {"OK", [](DialogDriver& about) { about.Click(IDOK); }},
            {"Enter", [](DialogDriver& about) { about.Key(0, Qt::Key_Return); }},
            {"Escape", [](DialogDriver& about) { about.Key(0, Qt::Key_Escape); }},
            {"Close", [](DialogDriver& about) { about.Window()->close(); }},
        };
        for (const auto& [name, close] : closers) {
            EXPECT_TRUE(WithNestedModal([&] { d.Send(0, WM_SYSCOMMAND, IDM_ABOUT); }, close)) << name;
            EXPECT_TRUE(d.Running()) << name;
            ExpectEverythingKept(d);
        }
    });
}

// The group's image of that size as the resource reader decodes it (the deepest one of the size).
QImage GroupImage(int side)
{
    for (const res::IconImage& image : res::LoadIconGroup(qtlayer::ModuleEntries(), IDI_MAIN_ICON)) {
        if (image.width != side)
            continue;
        if (!image.png.empty())
            return QImage::fromData(image.png.data(), static_cast<int>(image.png.size()), "PNG");
        return QImage(reinterpret_cast<const uchar*>(image.argb.data()), side, side, QImage::Format_ARGB32).copy();
    }
    return {};
}

QImage Premultiplied(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The icon drawn by the minimized painting must sit where the centring arithmetic puts it,
// truncating toward zero for odd and for too-small client areas.
TEST_F(AboutTest, MinimizedPaintingCentresTheIcon)
{
    RunModal(dialog, [](DialogDriver& d) {
        auto* window = qtlayer::DialogOf(d.Handle());
        // The group's 32 px image with alpha, the standard icon size at 96 DPI.
        const QImage icon = GroupImage(32);
        for (const QSize size : {QSize(474, 253), QSize(101, 77), QSize(100, 76), QSize(31, 20)}) {
            window->setFixedSize(size);
            const QImage painted = window->RenderIconic();
            QImage expected(size, QImage::Format_ARGB32);
            expected.fill(window->palette().window().color());
            QPainter(&expected).drawImage((size.width() - 32 + 1) / 2, (size.height() - 32 + 1) / 2, icon);
            EXPECT_EQ(painted, expected) << size.width() << "x" << size.height();
        }
    });
}

TEST_F(AboutTest, TheDragIconIsTheDialogsIconAndEverySizeIsDrawnFromItsOwnImage)
{
    RunModal(dialog, [](DialogDriver& d) {
        const HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_MAIN_ICON));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(d.Send(0, WM_QUERYDRAGICON)), icon);
        // The window system gets the sizes window managers draw, at the screen's scale.
        const QIcon windowIcon = d.Window()->windowIcon();
        EXPECT_EQ(windowIcon.availableSizes(), (QList<QSize>{{48, 48}, {32, 32}, {16, 16}}));
        EXPECT_EQ(windowIcon.pixmap(QSize(48, 48), 2.0).size(), QSize(96, 96)) << "a switcher at 2x scale";
        // Whoever asks for a size of the group gets the image made for it, from either icon.
        for (const int side : {256, 128, 64, 48, 40, 32, 24, 20, 16}) {
            const QImage expected = GroupImage(side).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            ASSERT_FALSE(expected.isNull()) << side;
            EXPECT_EQ(Premultiplied(icon->icon.pixmap(QSize(side, side), 1.0)), expected) << side;
            EXPECT_EQ(Premultiplied(windowIcon.pixmap(QSize(side, side), 1.0)), expected) << side;
        }
    });
}

}  // namespace
