#include "ground/textcodec.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(TextCodec, WritesWindows1252WhenEveryCharacterFitsAndUtf8Otherwise)
{
    const std::pair<QString, QByteArray> cases[] = {
        {QStringLiteral("Caf\u00e9 90\u00b0 \u00d8 \u20ac \u2013"),
         QByteArray("Caf\xe9 90\xb0 \xd8 \x80 \x96")},
        {QStringLiteral("\u00d8 12 \u6d4b\u8bd5 \u0141"),
         QStringLiteral("\u00d8 12 \u6d4b\u8bd5 \u0141").toUtf8()},
        // U+0080 is no character of Windows-1252, whose byte 80 is the euro sign.
        {QStringLiteral("\u00d8 \u0080"), QStringLiteral("\u00d8 \u0080").toUtf8()},
    };
    for (const auto &[text, bytes] : cases) {
        EXPECT_EQ(encodeFileText(text), bytes) << text.toStdString();
        EXPECT_EQ(decodeFileText(bytes), text) << text.toStdString();
    }
    // A byte-order mark is no part of the text.
    EXPECT_EQ(decodeFileText(QByteArray("\xef\xbb\xbf") + "abc"), "abc");

    // Every byte of Windows-1252 reads.
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const QString text = decodeFileText(all);
    ASSERT_EQ(text.size(), 255);
    EXPECT_EQ(toWindows1252(text), all);
    EXPECT_EQ(text.at(0x81 - 1), QChar(0x81));
}

} // namespace
} // namespace corvane
