#include "engine/Signature.h"
#include "EngineTestSupport.h"

namespace {

using namespace std::string_literals;

std::optional<TSignature> Parse(const std::string& bytes) {
    return ParseSignature(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::size_t Length(const std::string& bytes) {
    return SignatureLength(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

} // namespace

TEST(SignatureTest, Version110LayoutByteForByteAndFieldWidths) {
    const std::string expected = "VRNv110\x1A\x01\xC0\xC6\x2D\x00\x21\x00\x00\x00\x44\x33\x22\x11"
                                 "\x88\x77\x66\x55\xCC\xBB\xAA\x99\x04\x03\x01\x04\x00.dathi\r\n"s;
    const std::string encoded = EncodeSignature(SampleSignature());
    EXPECT_EQ(encoded, expected);
    EXPECT_EQ(EncodedSignatureLength(SampleSignature()), encoded.size());

    // Texts longer than their fields are cut to the fields' widths.
    TSignature signature = SampleSignature();
    signature.extension = "." + std::string(300, 'x');
    signature.comment = std::string(70000, 'c');
    const std::string cut = EncodeSignature(signature);
    EXPECT_EQ(static_cast<unsigned char>(cut[29]), 255);
    EXPECT_EQ(cut.size(), 34u + 255u + 65535u);
    EXPECT_EQ(EncodedSignatureLength(signature), cut.size());
    const std::optional<TSignature> parsed = Parse(cut);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(std::tuple(parsed->extension.size(), parsed->comment.size()),
              std::tuple(255u, 65535u));
}

TEST(SignatureTest, Version100LayoutExtensionLimitsAndForeignBytes) {
    TSignature signature{.version = TSignatureVersion::sv100,
                         .wholeFileSize = 0x7FFFFFFF,
                         .blockCount = 65535,
                         .extension = ".txt",
                         .comment = ""};
    const std::string expected =
        "VRNv100\x1A\xFF\xFF\xFF\x7F.txt"s + std::string(16, '\0') + "\xFF\xFF";
    std::string encoded = EncodeSignature(signature);
    EXPECT_EQ(encoded, expected);
    EXPECT_EQ(EncodedSignatureLength(signature), 34u);

    // Exactly 20 bytes: stored without a terminating zero and read back whole.
    signature.extension = ".abcdefghijklmnopqrs";
    ASSERT_EQ(signature.extension.size(), 20u);
    encoded = EncodeSignature(signature);
    EXPECT_EQ(encoded.substr(12, 20), signature.extension);
    EXPECT_EQ(Parse(encoded)->extension, signature.extension);
    // Longer: cut to 20 bytes, never inside a UTF-8 character.
    signature.extension = ".abcdefghijklmnopq\xD0\x96z"; // 19 ASCII bytes then a 2-byte letter
    encoded = EncodeSignature(signature);
    EXPECT_EQ(encoded.size(), 34u);
    EXPECT_EQ(Parse(encoded)->extension, ".abcdefghijklmnopq\xD0\x96");
    signature.extension = ".abcdefghijklmnopqr\xD0\x96"; // the letter would straddle byte 20
    EXPECT_EQ(Parse(EncodeSignature(signature))->extension, ".abcdefghijklmnopqr");

    // Short or foreign bytes have no length or parse.
    const std::string whole = EncodeSignature(SampleSignature());
    EXPECT_EQ(Length(whole), whole.size());
    EXPECT_EQ(Length(whole.substr(0, 7)), 0u);
    EXPECT_EQ(Length(whole.substr(0, 20)), SignatureFixedLength); // read more and ask again
    EXPECT_EQ(Length(whole.substr(0, 34)), whole.size());
    EXPECT_FALSE(Parse(whole.substr(0, whole.size() - 1))); // cut-off comment
    EXPECT_FALSE(Parse(whole.substr(0, 20)));
    EXPECT_FALSE(Parse("VRNv120\x1A" + std::string(26, '\0')));
    EXPECT_FALSE(Parse(std::string("VRNv110", 7) + "x" + std::string(26, '\0')));
    EXPECT_FALSE(Parse(""));
}

TEST(SignatureTest, StoredTextsAreDecodedAndCutAsUtf8) {
    EXPECT_EQ(TextFromStoredBytes("plain"), "plain");
    EXPECT_EQ(TextFromStoredBytes("\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB"), "Файл"); // valid UTF-8 kept
    // "Файл їжак" in Windows-1251.
    EXPECT_EQ(TextFromStoredBytes("\xD4\xE0\xE9\xEB \xBF\xE6\xE0\xEA"), "Файл їжак");
    EXPECT_EQ(TextFromStoredBytes("\xAA\xB2\xA5\xB4\xA8\xB8"), "ЄІҐґЁё");
    EXPECT_EQ(TextFromStoredBytes("\x88\xB9\x98"), "€№\xEF\xBF\xBD"); // 0x98 has no character

    // UTF-8 is checked and cut on whole characters.
    EXPECT_TRUE(IsValidUtf8("") && IsValidUtf8("\xF0\x9F\x98\x80"));
    // Overlong, a surrogate, cut short, past U+10FFFF.
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xD0", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_EQ(CutUtf8("ab\xF0\x9F\x98\x80", 5), "ab");
    EXPECT_EQ(CutUtf8("ab\xF0\x9F\x98\x80", 6), "ab\xF0\x9F\x98\x80");
    EXPECT_EQ(CutUtf8("abc", 0), "");
}
