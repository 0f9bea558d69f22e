// The dialogs as the templates lay them out with the face that stands in for the template's.
#include "control_factory.h"
#include "dialog_font.h"
#include "module_resources.h"
#include "resource.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

constexpr std::uint16_t kStaticAtom = 0x82;

TEST(TemplateLayoutTest, TheStandInFaceIsInstalledAndUsed)
{
    const auto main = qtlayer::LoadDialogTemplate(IDD_MAIN_DIALOG);
    ASSERT_TRUE(main);
    const qtlayer::DialogMetrics metrics = qtlayer::MetricsFor(*main);
    EXPECT_EQ(QFontInfo(metrics.font).family().toStdString(), "Noto Serif CJK TC");
    EXPECT_EQ(QFontInfo(metrics.font).pixelSize(), 12) << "9 points at 96 pixels per inch";
    EXPECT_GT(metrics.baseUnitX, 0);
    EXPECT_GT(metrics.baseUnitY, 0);
}

TEST(TemplateLayoutTest, EveryStaticTextFitsItsBoxOnOneLine)
{
    for (const UINT id : {IDD_MAIN_DIALOG, IDD_ABOUT_DIALOG}) {
        const auto dialog = qtlayer::LoadDialogTemplate(id);
        ASSERT_TRUE(dialog) << id;
        const qtlayer::DialogMetrics metrics = qtlayer::MetricsFor(*dialog);
        const QFontMetrics fm(metrics.font);
        int checked = 0;
        for (const res::DialogItem& item : dialog->items) {
            if (item.classAtom != kStaticAtom || item.textOrdinal)
                continue;
            const QString text = qtlayer::StaticText(item);
            EXPECT_LE(fm.horizontalAdvance(text), metrics.X(item.cx)) << "\"" << text.toStdString() << "\" in " << id;
            EXPECT_LE(fm.height(), metrics.Y(item.cy) + 1) << "\"" << text.toStdString() << "\" in " << id;
            ++checked;
        }
        EXPECT_GT(checked, 0) << id;
    }
}

TEST(TemplateLayoutTest, DialogUnitsScaleAsWindowsRoundsThem)
{
    const auto main = qtlayer::LoadDialogTemplate(IDD_MAIN_DIALOG);
    ASSERT_TRUE(main);
    qtlayer::DialogMetrics metrics = qtlayer::MetricsFor(*main);
    metrics.baseUnitX = 7;
    metrics.baseUnitY = 15;
    EXPECT_EQ(metrics.X(4), 7);
    EXPECT_EQ(metrics.X(237), 415) << "237 * 7 / 4 = 414.75 rounds to 415";
    EXPECT_EQ(metrics.Y(119), 223) << "119 * 15 / 8 = 223.125 rounds to 223";
    EXPECT_EQ(metrics.Y(-3), -6) << "-5.625 rounds to the nearest pixel too";
}

}  // namespace
