// Bad input through the real dialog, with a pseudo-terminal as com1: entry texts of every awkward
// length, bytes that are not UTF-8, typed non-ASCII, control characters and counts beyond any
// frame. The bytes on the line are what the typed texts stand for, nothing crashes, and the fields
// keep their texts.
#include "dialog_driver.h"
#include "probe_dialog.h"
#include "pty_peer.h"
#include "resource.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kRate57600 = 4;
constexpr int kEntryFields[] = {IDC_SEND_COUNT, IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3};
constexpr std::uint8_t kMarker = 0xEE;

class BadInputTest : public ::testing::Test {
protected:
    PtyPeer peer;
    CProbeDialog dialog;

    // What one Send put on the line. A marker Send follows it, so what reached the peer is known
    // to be complete once the marker is there (no case here sends the marker's byte itself).
    Bytes SentBy(DialogDriver& d)
    {
        peer.ClearReceived();
        d.Click(IDOK);
        d.SetText(IDC_SEND_COUNT, "1");
        d.SetText(IDC_BYTE0, "EE");
        d.Click(IDOK);
        Bytes sent;
        EXPECT_TRUE(WaitUntil([&] {
            sent = peer.Received();
            return !sent.empty() && sent.back() == kMarker;
        })) << "the marker never came";
        if (!sent.empty())
            sent.pop_back();
        return sent;
    }

    // All five entry fields set to `text` through WM_SETTEXT, as raw 8-bit bytes.
    static void SetAll(DialogDriver& d, const std::string& text)
    {
        for (int field : kEntryFields)
            d.SetText(field, text);
    }
};

std::string Padded(std::size_t length, char last)
{
    return length == 0 ? "" : std::string(length - 1, ' ') + last;
}

// Every length around the 256-byte work area, and a megabyte: the count is the digit at the end
// (leading blanks are skipped), a two-byte text is " 4" (0x04), any other length gives 0x00.
TEST_F(BadInputTest, EntryTextsOfAnyLengthAreReadWhole)
{
    RunModal(dialog, [&](DialogDriver& d) {
        d.SelectRate(kRate57600);
        for (std::size_t length : {0u, 1u, 2u, 255u, 256u, 257u, 1u << 20}) {
            const std::string text = Padded(length, '4');
            SetAll(d, text);
            const Bytes expected = length == 0 ? Bytes{} : Bytes(4, length == 2 ? 0x04 : 0x00);
            for (int field : kEntryFields)
                ASSERT_EQ(d.Text(field), text) << "field " << field << " keeps all " << length << " bytes";
            EXPECT_EQ(SentBy(d), expected) << length << " bytes";
        }
        EXPECT_TRUE(d.Running());
    });
}

// Counts as atoi reads them, kept to the four bytes of the frame.
TEST_F(BadInputTest, CountsBeyondTheFrameAreKeptToIt)
{
    const struct {
        const char* count;
        std::size_t sent;
    } cases[] = {
        {"-1", 0},          {"5", 4},           {"2147483648", 4}, {"99999999999", 4},
        {"+3", 3},          {" \t2", 2},        {"-2147483649", 0}, {"4294967297", 4},
        {"0x4", 0},         {"\v\f\r\n1", 1},   {"--1", 0},        {"3 4", 3},
        {"\xEF\xBC\x93", 0},  // a full-width digit three is no digit
    };
    RunModal(dialog, [&](DialogDriver& d) {
        d.SelectRate(kRate57600);
        const Bytes frame{0x10, 0x20, 0x30, 0x40};
        for (const auto& c : cases) {
            d.SetText(IDC_SEND_COUNT, c.count);
            const char* bytes[] = {"10", "20", "30", "40"};
            for (int i = 0; i < 4; ++i)
                d.SetText(kEntryFields[i + 1], bytes[i]);
            EXPECT_EQ(d.Text(IDC_SEND_COUNT), c.count);
            EXPECT_EQ(SentBy(d), Bytes(frame.begin(), frame.begin() + static_cast<long>(c.sent)))
                << "count \"" << c.count << "\"";
        }
    });
}

// Byte texts that are not plain hexadecimal go through the same arithmetic; texts that are not
// UTF-8 read back with each bad sequence replaced by U+FFFD (EF BF BD), as the UTF-8 code page of
// the Windows build does, and a text that is then longer than two bytes gives 0x00.
TEST_F(BadInputTest, NonHexNonAsciiAndNonUtf8ByteTexts)
{
    const struct {
        std::string text;
        std::string readBack;
        std::uint8_t byte;
    } cases[] = {
        {"\xC3\xA9", "\xC3\xA9", 0xA9},              // é: two bytes of one character
        {"\xC2\xA0", "\xC2\xA0", 0x90},              // no-break space: 0x20 from C2, A0 - 48
        {"\xE4\xB8\xAD", "\xE4\xB8\xAD", 0x00},      // 中: three bytes
        {"\xFF\xFE", "\xEF\xBF\xBD\xEF\xBF\xBD", 0x00},
        {"\xC3", "\xEF\xBF\xBD", 0x00},              // a character cut short
        {"\x80", "\xEF\xBF\xBD", 0x00},
        {"zz", "zz", 0x53},                           // "ZZ": (0x5A - 7) << 4 is 0x30, + 0x5A - 55
        {"G0", "G0", 0x00},                           // (0x47 - 7) << 4 is 0x400
        {"!~", "!~", 0x57},                           // 0x21 << 4 is 0x10, + 0x7E - 55 = 0x47
        {"\x01\x7F", "\x01\x7F", 0x58},               // 0x01 << 4 is 0x10, + 0x7F - 55 = 0x48
        {"\t\x1B", "\t\x1B", 0x7B},                   // 0x09 << 4 is 0x90, + 0x1B - 48 = -21
    };
    RunModal(dialog, [&](DialogDriver& d) {
        d.SelectRate(kRate57600);
        for (const auto& c : cases) {
            d.SetText(IDC_SEND_COUNT, "1");
            d.SetText(IDC_BYTE0, c.text);
            ASSERT_EQ(d.Text(IDC_BYTE0), c.readBack);
            EXPECT_EQ(SentBy(d), Bytes{c.byte}) << "text \"" << c.text << "\"";
        }
    });
}

// Non-ASCII as a keyboard layout gives it: a key event carrying the character's text.
void TypeCharacter(QWidget& field, const QString& character)
{
    field.setFocus();
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(&field, &key);
    }
}

// What an input method hands over when a composition is done.
void Compose(QWidget& field, const QString& text)
{
    field.setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(&field, &commit);
}

TEST_F(BadInputTest, TypedNonAsciiIsSentAsItsUtf8Bytes)
{
    RunModal(dialog, [&](DialogDriver& d) {
        d.SelectRate(kRate57600);
        d.Type(IDC_SEND_COUNT, QStringLiteral("4"));
        TypeCharacter(*d.Control(IDC_BYTE0), QStringLiteral("é"));
        TypeCharacter(*d.Control(IDC_BYTE1), QStringLiteral("ü"));
        Compose(*d.Control(IDC_BYTE2), QStringLiteral("中"));
        TypeCharacter(*d.Control(IDC_BYTE3), QStringLiteral("ß"));
        EXPECT_EQ(d.Text(IDC_BYTE1), "\xC3\xBC");
        EXPECT_EQ(d.Text(IDC_BYTE2), "\xE4\xB8\xAD");
        // A two-byte C3 xx character comes out as xx: 0x30 from C3, xx - 48 from the second byte.
        const Bytes expected{0xA9, 0xBC, 0x00, 0x9F};
        peer.ClearReceived();
        d.Key(IDC_BYTE3, Qt::Key_Return);
        ASSERT_TRUE(peer.WaitForReceived(4));
        EXPECT_EQ(peer.Received(), expected);
        EXPECT_EQ(d.Text(IDC_BYTE0), "\xC3\xA9") << "the fields keep their texts";
    });
}

// The box keeps whatever bytes it was given, and a Send appends below them exactly.
TEST_F(BadInputTest, ResultBoxHoldingAnythingTakesTheNextLinesBelowIt)
{
    peer.SetAnswer({0x41});
    std::string megabyteOfLines;
    while (megabyteOfLines.size() < (1u << 20))
        megabyteOfLines += "10101010\r\n";
    const std::string odd[] = {"\xFF\xFE\r", "\xC3", "\r\n\r\n", megabyteOfLines};
    RunModal(dialog, [&](DialogDriver& d) {
        d.SelectRate(kRate57600);
        d.SetText(IDC_SEND_COUNT, "1");
        d.SetText(IDC_BYTE0, "00");
        for (const std::string& before : odd) {
            d.SetText(IDC_RESULT, before);
            ASSERT_EQ(d.Text(IDC_RESULT), before);
            d.Click(IDOK);
            EXPECT_EQ(d.Text(IDC_RESULT), before + "01000001\r\n") << "box \"" << before.substr(0, 8) << "\"";
        }
        EXPECT_FALSE(d.ControlAs<QPlainTextEdit>(IDC_RESULT)->document()->isUndoAvailable())
            << "the read-only box keeps no history of its appends";
    });
}

}  // namespace
