// The main dialog end to end on the offscreen platform, with a pseudo-terminal peer as com1.
#include "conversions.h"
#include "dialog_driver.h"
#include "probe_dialog.h"
#include "pty_peer.h"
#include "resource.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWindow>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const int kRateIndex19200 = 1;

std::string Lines(std::initializer_list<const char*> digits)
{
    std::string text;
    for (const char* line : digits)
        text += std::string(line) + "\r\n";
    return text;
}

class SendDialogTest : public ::testing::Test {
protected:
    PtyPeer peer;
    CProbeDialog dialog;

    // Fills the fields as a user types them and picks 19200 baud.
    static void Fill(DialogDriver& d, const char* count, std::initializer_list<const char*> bytes)
    {
        d.SelectRate(kRateIndex19200);
        d.Type(IDC_SEND_COUNT, count);
        const int ids[] = {IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3};
        int i = 0;
        for (const char* text : bytes)
            d.Type(ids[i++], text);
    }
};

TEST_F(SendDialogTest, StartsWithTheFiveRatesAndNoneChosen)
{
    RunModal(dialog, [&](DialogDriver& d) {
        auto* list = d.ControlAs<QComboBox>(IDC_BAUD_LIST);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCOUNT), 5);
        const char* expected[] = {"CBR_14400", "CBR_19200", "CBR_38400", "CBR_56000", "CBR_57600"};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(list->itemText(i).toStdString(), expected[i]);
        EXPECT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCURSEL), CB_ERR);
        EXPECT_TRUE(list->currentText().isEmpty());
        EXPECT_EQ(d.Window()->focusWidget(), d.Control(IDOK)) << "focus starts on Send";
    });
}

TEST_F(SendDialogTest, EachEntryFieldIsNamedByTheLabelOnItsRow)
{
    RunModal(dialog, [](DialogDriver& d) {
        const std::pair<int, const char*> fields[] = {{IDC_SEND_COUNT, "Bytes to Send"}, {IDC_BYTE0, "Byte[0]"},
                                                      {IDC_BYTE1, "Byte[1]"}, {IDC_BYTE2, "Byte[2]"},
                                                      {IDC_BYTE3, "Byte[3]"}};
        for (const auto& [id, name] : fields)
            EXPECT_EQ(d.Control(id)->accessibleName().toStdString(), name) << id;
        EXPECT_TRUE(d.Control(IDC_BAUD_LIST)->accessibleName().isEmpty()) << "no label stands on the list's row";
    });
}

TEST_F(SendDialogTest, WithoutARateSendOpensNothingAndShowsNothing)
{
    peer.SetAnswer({0x41}, PtyPeer::When::WhileOpen);
    RunModal(dialog, [&](DialogDriver& d) {
        d.Type(IDC_SEND_COUNT, "1");
        d.Type(IDC_BYTE0, "41");
        d.SetText(IDC_RESULT, "kept\r\n");
        d.Click(IDOK);
        EXPECT_EQ(peer.Opens(), 0);
        EXPECT_EQ(d.Text(IDC_RESULT), "kept\r\n");
        EXPECT_TRUE(d.Running()) << "Send never ends the dialog";
    });
    EXPECT_TRUE(peer.Received().empty());
}

TEST_F(SendDialogTest, SendsTheFirstCountBytesAndAppendsTheAnswerBelowTheBox)
{
    peer.SetAnswer({0x00, 0x80, 0xFF});
    RunModal(dialog, [&](DialogDriver& d) {
        Fill(d, "2", {"01", "02", "03", "04"});
        d.SetText(IDC_RESULT, "earlier\r\n");
        d.Click(IDOK);
        ASSERT_TRUE(peer.WaitForReceived(2));
        EXPECT_EQ(peer.Received(), (Bytes{0x01, 0x02}));
        EXPECT_EQ(d.Text(IDC_RESULT), "earlier\r\n" + Lines({"00000000", "10000000", "11111111"}));
        EXPECT_EQ(d.Text(IDC_BYTE2), "03") << "the fields keep their texts";
    });
    EXPECT_EQ(peer.Opens(), 1);
}

TEST_F(SendDialogTest, CaseDoesNotMatterAndUnsetBytesAreZero)
{
    RunModal(dialog, [&](DialogDriver& d) {
        Fill(d, "4", {"a5", "A5", "", "123"});
        d.Click(IDOK);
        ASSERT_TRUE(peer.WaitForReceived(4));
        EXPECT_EQ(peer.Received(), (Bytes{0xA5, 0xA5, 0x00, 0x00}));
    });
}

TEST_F(SendDialogTest, CountsOutsideTheFrameAreKeptToIt)
{
    RunModal(dialog, [&](DialogDriver& d) {
        Fill(d, "99999999999", {"7E", "FF", "00", "11"});
        d.Click(IDOK);
        ASSERT_TRUE(peer.WaitForReceived(4));
        d.SetText(IDC_SEND_COUNT, "-1");
        d.Click(IDOK);
        d.SetText(IDC_SEND_COUNT, "+3");
        d.Click(IDOK);
        ASSERT_TRUE(peer.WaitForReceived(7));
        EXPECT_EQ(peer.Received(), (Bytes{0x7E, 0xFF, 0x00, 0x11, 0x7E, 0xFF, 0x00}));
    });
}

TEST_F(SendDialogTest, CountZeroWritesNothingButStillReads)
{
    peer.SetAnswer({0x41}, PtyPeer::When::WhileOpen);
    RunModal(dialog, [&](DialogDriver& d) {
        Fill(d, "0", {"01"});
        d.Click(IDOK);
        const std::string shown = d.Text(IDC_RESULT);
        ASSERT_FALSE(shown.empty());
        std::string only41;
        while (only41.size() < shown.size())
            only41 += "01000001\r\n";
        EXPECT_EQ(shown, only41);
    });
    EXPECT_TRUE(peer.Received().empty());
}

TEST_F(SendDialogTest, ALongAnswerShowsExactlyTheFirstHundredBytes)
{
    Bytes answer;
    for (int i = 0; i < 150; ++i)
        answer.push_back(static_cast<std::uint8_t>(i));
    peer.SetAnswer(answer);
    RunModal(dialog, [&](DialogDriver& d) {
        Fill(d, "1", {"55"});
        d.Click(IDOK);
        std::string expected;
        for (int i = 0; i < 100; ++i)
            expected += transfer::ResultLine(static_cast<std::uint8_t>(i));
        EXPECT_EQ(d.Text(IDC_RESULT), expected);
        // The rest was discarded with the port: the next Send starts clean.
        peer.SetAnswer({0x42});
        d.Click(IDC_CLEAR_RESULT);
        d.Click(IDOK);
        EXPECT_EQ(d.Text(IDC_RESULT), Lines({"01000010"}));
    });
}

TEST_F(SendDialogTest, EnterInEveryEntryFieldRunsASend)
{
    peer.SetAnswer({0x01});
    RunModal(dialog, [&](DialogDriver& d) {
        Fill(d, "1", {"5A"});
        const int fields[] = {IDC_SEND_COUNT, IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3, IDC_RESULT, IDC_BAUD_LIST};
        std::size_t sent = 0;
        for (int field : fields) {
            d.Key(field, Qt::Key_Return);
            ASSERT_TRUE(peer.WaitForReceived(++sent)) << "Enter in control " << field;
        }
        EXPECT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCURSEL), kRateIndex19200) << "Enter in the list keeps the rate";
        EXPECT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCOUNT), 5) << "Enter in the list adds no entry";
        EXPECT_TRUE(d.Running());
    });
    EXPECT_EQ(peer.Received(), Bytes(7, 0x5A));
}

TEST_F(SendDialogTest, ClearResultEmptiesTheBoxAndTheNextLinesStartAtTheTop)
{
    peer.SetAnswer({0x0F});
    RunModal(dialog, [&](DialogDriver& d) {
        d.Click(IDC_CLEAR_RESULT);
        EXPECT_EQ(d.Text(IDC_RESULT), "");
        Fill(d, "1", {"00"});
        d.Click(IDOK);
        d.Click(IDOK);
        EXPECT_EQ(d.Text(IDC_RESULT), Lines({"00001111", "00001111"}));
        d.Click(IDC_CLEAR_RESULT);
        EXPECT_EQ(d.Text(IDC_RESULT), "");
        EXPECT_EQ(d.ControlAs<QPlainTextEdit>(IDC_RESULT)->toPlainText(), "");
        d.Click(IDOK);
        EXPECT_EQ(d.Text(IDC_RESULT), Lines({"00001111"}));
        EXPECT_EQ(d.Text(IDC_BYTE0), "00") << "Clear Result changes nothing else";
    });
}

// The main dialog, noting the messages that end it as they arrive.
class WatchedDialog : public CProbeDialog {
public:
    std::vector<std::string> seen;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
            seen.emplace_back("SC_CLOSE");
        else if (message == WM_CLOSE)
            seen.emplace_back("WM_CLOSE");
        else if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
            seen.emplace_back("IDCANCEL");
        return CProbeDialog::WindowProc(message, wParam, lParam);
    }
};

TEST(EndingTheDialogTest, EscapeAndTheCaptionsCloseButtonEndIt)
{
    PtyPeer peer;
    WatchedDialog escaped;
    EXPECT_EQ(RunModal(escaped, [](DialogDriver& d) { d.Key(IDC_BYTE1, Qt::Key_Escape); }), IDCANCEL);
    EXPECT_EQ(escaped.seen, std::vector<std::string>{"IDCANCEL"});

    // The window system's close request, as the caption's button makes it.
    WatchedDialog closed;
    EXPECT_EQ(RunModal(closed, [](DialogDriver& d) { d.Window()->windowHandle()->close(); }), IDCANCEL);
    EXPECT_EQ(closed.seen, (std::vector<std::string>{"SC_CLOSE", "WM_CLOSE", "IDCANCEL"}));
    EXPECT_EQ(peer.Opens(), 0);
}

TEST_F(SendDialogTest, TypingInTheListChoosesNothingUntilAnEntryIsPickedAgain)
{
    peer.SetAnswer({0x41});
    RunModal(dialog, [&](DialogDriver& d) {
        d.SelectRate(2);
        EXPECT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCURSEL), 2);
        d.Type(IDC_BAUD_LIST, "x");
        EXPECT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCURSEL), CB_ERR) << "typed text leaves no entry selected";
        d.Type(IDC_SEND_COUNT, "1");
        d.Key(IDC_BAUD_LIST, Qt::Key_Return);
        EXPECT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCOUNT), 5);
        EXPECT_EQ(peer.Opens(), 0) << "with no entry selected, Send opens nothing";

        // The entry Qt still holds as its current one, picked again from the opened list.
        ASSERT_TRUE(d.PickFromList(IDC_BAUD_LIST, 2));
        EXPECT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCURSEL), 2);
        EXPECT_EQ(d.Text(IDC_BAUD_LIST), "CBR_38400");
        d.Click(IDOK);
        EXPECT_EQ(peer.Opens(), 1);
        EXPECT_EQ(d.Text(IDC_RESULT), Lines({"01000001"}));
    });
}

}  // namespace
