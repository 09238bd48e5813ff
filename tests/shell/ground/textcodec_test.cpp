#include "shell/ground/textcodec.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(TextCodec, WritesWindows1252WhenEveryCharacterFits)
{
    const QString text = QStringLiteral("Caf\u00e9 90\u00b0 \u00d8 \u20ac \u2013");
    const QByteArray bytes = encodeFileText(text);
    EXPECT_EQ(bytes, QByteArray("Caf\xe9 90\xb0 \xd8 \x80 \x96"));
    EXPECT_EQ(decodeFileText(bytes), text);
}

TEST(TextCodec, WritesUtf8WhenACharacterHasNoPlaceInWindows1252)
{
    const QString text = QStringLiteral("\u00d8 12 \u6d4b\u8bd5 \u0141");
    const QByteArray bytes = encodeFileText(text);
    EXPECT_EQ(bytes, text.toUtf8());
    EXPECT_EQ(decodeFileText(bytes), text);
}

TEST(TextCodec, ReadsEveryByteOfWindows1252)
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const QString text = decodeFileText(all);
    ASSERT_EQ(text.size(), 255);
    EXPECT_EQ(toWindows1252(text), all);
    EXPECT_EQ(text.at(0x80 - 1), QChar(0x20AC));
    EXPECT_EQ(text.at(0x81 - 1), QChar(0x81));
}

TEST(TextCodec, AsciiIsTheSameEitherWay)
{
    EXPECT_EQ(encodeFileText(QStringLiteral("abc,\"1\"\r\n")), QByteArray("abc,\"1\"\r\n"));
    EXPECT_EQ(decodeFileText(QByteArray("\xef\xbb\xbf"
                                        "abc")),
              "abc");
}

} // namespace
} // namespace corvane
