#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "myunits/Blowfish.h"
#include "platform/vcl/Classes.h"
#include "tests/myunits/ExpectThrow.h"
#include "tests/support/TempFolder.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<BYTE>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string ToHex(const BYTE* bytes, size_t length) {
    std::string hex;
    char digits[3];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        hex += digits;
    }
    return hex;
}

std::string ToHex(const AnsiString& text) {
    return ToHex(reinterpret_cast<const BYTE*>(text.data()), text.size());
}

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// Eric Young's published ECB test vectors: key, plain text, cipher text.
const Vector EcbVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

TEST(BlowfishTest, PublishedEcbVectorsHoldInBothDirections) {
    for (const Vector& v : EcbVectors) {
        SCOPED_TRACE(v.key + std::string(" ") + v.plain);
        TBlowfish blowfish(nullptr);
        const Bytes key = FromHex(v.key);
        const Bytes plain = FromHex(v.plain);
        blowfish.InitialiseByte(key.data(), static_cast<int>(key.size()));
        BYTE cipher[8];
        BYTE back[8];
        blowfish.EncBlock(plain.data(), cipher);
        blowfish.DecBlock(cipher, back);
        EXPECT_EQ(ToHex(cipher, 8), v.cipher);
        EXPECT_EQ(ToHex(back, 8), v.plain);
    }
}

// The published chained-mode vectors: a 16-byte key, IV FEDCBA9876543210,
// the 29 bytes "7654321 Now is the time for \0" (zero-filled to 32).
TEST(BlowfishTest, PublishedChainedModeVectorsHold) {
    const Bytes key = FromHex("0123456789ABCDEFF0E1D2C3B4A59687");
    const Bytes iv = FromHex("FEDCBA9876543210");
    const Bytes plain = FromHex("37363534333231204E6F77206973207468652074696D6520666F722000000000");
    const struct {
        TCipherMode mode;
        const char* cipher; // the published bytes (29 for the stream modes)
    } cases[] = {
        {CBC, "6B77B4D63006DEE605B156E27403979358DEB9E7154616D959F1652BD5FF92CC"},
        {CFB, "E73214A2822139CAF26ECF6D2EB9E76E3DA3DE04D1517200519D57A6C3"},
        {OFB, "E73214A2822139CA62B343CC5B65587310DD908D0C241B2263C2CF80DA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        TBlowfish blowfish(nullptr);
        blowfish.CipherMode = c.mode;
        blowfish.InitialiseByte(key.data(), static_cast<int>(key.size()));
        blowfish.LoadIVByte(iv.data(), 8);
        BYTE cipher[32];
        for (int i = 0; i < 32; i += 8)
            blowfish.EncBlock(plain.data() + i, cipher + i);
        const std::string expected = c.cipher;
        EXPECT_EQ(ToHex(cipher, 32).substr(0, expected.size()), expected);

        blowfish.LoadIVByte(iv.data(), 8);
        BYTE back[32];
        for (int i = 0; i < 32; i += 8)
            blowfish.DecBlock(cipher + i, back + i);
        EXPECT_EQ(Bytes(back, back + 32), plain);
    }
}

TEST(BlowfishTest, CbcMacIsTheChainRegisterAfterTheLastBlock) {
    const Bytes key = FromHex("0123456789ABCDEFF0E1D2C3B4A59687");
    const Bytes iv = FromHex("FEDCBA9876543210");
    const Bytes plain = FromHex("37363534333231204E6F77206973207468652074696D6520666F722000000000");
    TBlowfish blowfish(nullptr);
    blowfish.CipherMode = CBC;
    blowfish.InitialiseByte(key.data(), 16);
    blowfish.LoadIVByte(iv.data(), 8);
    BYTE cipher[8];
    for (int i = 0; i < 32; i += 8)
        blowfish.EncBlock(plain.data() + i, cipher);
    AnsiString mac;
    blowfish.CBCMACString(mac);
    EXPECT_EQ(mac, "59F1652BD5FF92CC");

    blowfish.CipherMode = ECB;
    ExpectThrowMessage<EKeyError>([&] { blowfish.CBCMACString(mac); },
                                  "Blowfish: Mode must be CBC for CBCMAC");
}

TEST(BlowfishTest, RadixSixtyFourUsesItsOwnAlphabetWithoutPadding) {
    TBlowfish blowfish(nullptr);
    const struct {
        AnsiString bytes;
        AnsiString text;
    } cases[] = {
        {AnsiString(3, '\0'), "++++"},
        {"\xFF", "zk"},
        {"\xFF\xFF", "zzw"},
        {"\xFF\xFF\xFF", "zzzz"},
        {AnsiString("\x00\x10\x83", 3), "+-01"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToHex(c.bytes));
        EXPECT_EQ(blowfish.EncodeString(c.bytes), c.text);
        EXPECT_EQ(blowfish.DecodeString(c.text), c.bytes);
    }
    // A single left-over character holds no byte.
    EXPECT_EQ(blowfish.DecodeString("zzzzz"), "\xFF\xFF\xFF");
    for (const char* bad : {"ab c", "ab=c", "ab/c", "\xC3\xA4"})
        ExpectThrowMessage<EConvertError>(
            [&] { blowfish.DecodeString(bad); },
            "Blowfish: Error converting from Base64 - invalid character");
}

class BlowfishStringTest : public testing::Test {
protected:
    void SetUp() override { blowfish.InitialiseString("a test key"); }

    AnsiString Enc(const AnsiString& plain) {
        AnsiString out;
        blowfish.EncString(plain, out);
        return out;
    }
    AnsiString Dec(const AnsiString& cipher) {
        AnsiString out;
        blowfish.DecString(cipher, out);
        return out;
    }
    // The raw deciphered block of an enciphered text, padding included.
    AnsiString RawPlain(const AnsiString& cipher) {
        const AnsiString bytes = blowfish.DecodeString(cipher);
        AnsiString plain(bytes.size(), '\0');
        for (size_t i = 0; i < bytes.size(); i += 8)
            blowfish.DecBlock(reinterpret_cast<const BYTE*>(bytes.data()) + i,
                              reinterpret_cast<BYTE*>(plain.data()) + i);
        return plain;
    }

    TBlowfish blowfish{nullptr};
};

TEST_F(BlowfishStringTest, PaddingFillsTheLastBlockWithItsOwnLength) {
    const struct {
        AnsiString plain;
        AnsiString padding;
        size_t characters;
    } cases[] = {
        {"a", AnsiString(7, '\7'), 11},
        {"1234567", "\1", 11},
        {"12345678", AnsiString(8, '\10'), 22},
        {"123456789", AnsiString(7, '\7'), 22},
        {AnsiString(16, 'x'), AnsiString(8, '\10'), 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plain);
        const AnsiString cipher = Enc(c.plain);
        EXPECT_EQ(cipher.size(), c.characters);
        EXPECT_EQ(RawPlain(cipher), c.plain + c.padding);
        EXPECT_EQ(Dec(cipher), c.plain);
    }
}

TEST_F(BlowfishStringTest, EmptyTextStaysEmptyBothWays) {
    EXPECT_EQ(Enc(""), "");
    EXPECT_EQ(Dec(""), "");
}

TEST_F(BlowfishStringTest, BadPaddingByteDropsExactlyOneByte) {
    for (const char last : {'\0', '\11', 'z'}) {
        SCOPED_TRACE(int(last));
        // A block whose last plain byte is no padding length.
        AnsiString block = AnsiString("1234567") + last;
        BYTE cipher[8];
        blowfish.EncBlock(reinterpret_cast<const BYTE*>(block.data()), cipher);
        const AnsiString text =
            blowfish.EncodeString(AnsiString(reinterpret_cast<char*>(cipher), 8));
        EXPECT_EQ(Dec(text), "1234567");
    }
}

TEST_F(BlowfishStringTest, ShortInputIsRefused) {
    ExpectThrowMessage<EInputError>([&] { Dec("zzzz"); }, "Blowfish: Input not valid - too short");
}

TEST_F(BlowfishStringTest, NormalStringModeKeepsRawBytes) {
    blowfish.StringMode = smNormal;
    const AnsiString cipher = Enc("raw bytes");
    EXPECT_EQ(cipher.size(), 16u);
    EXPECT_EQ(Dec(cipher), "raw bytes");
}

TEST_F(BlowfishStringTest, EveryModeRoundTripsAndChainsDifferently) {
    const AnsiString plain = "sixteen byte txtsixteen byte txt and more";
    AnsiString ecb;
    for (TCipherMode mode : {ECB, CBC, CFB, OFB}) {
        SCOPED_TRACE(mode);
        blowfish.CipherMode = mode;
        blowfish.LoadIVString("QMBRTKZA");
        const AnsiString cipher = Enc(plain);
        blowfish.LoadIVString("QMBRTKZA");
        EXPECT_EQ(Dec(cipher), plain);
        if (mode == ECB)
            ecb = cipher;
        else
            EXPECT_NE(cipher, ecb);
    }
}

TEST(BlowfishKeyTest, KeyLengthMustBeOneToFiftySixBytes) {
    TBlowfish blowfish(nullptr);
    EXPECT_NO_THROW(blowfish.InitialiseString(AnsiString(56, 'k')));
    EXPECT_NO_THROW(blowfish.InitialiseString("k"));
    for (const AnsiString& key : {AnsiString(), AnsiString(57, 'k')})
        ExpectThrowMessage<EKeyError>([&] { blowfish.InitialiseString(key); },
                                      "Blowfish: Key must be between 1 and 56 bytes");
}

TEST(BlowfishKeyTest, OperationsNeedAKeyAndChainedModesAnIV) {
    TBlowfish blowfish(nullptr);
    AnsiString out;
    BYTE block[8] = {};
    ExpectThrowMessage<EKeyError>([&] { blowfish.EncString("x", out); }, "Blowfish: Key not set");
    ExpectThrowMessage<EKeyError>([&] { blowfish.DecBlock(block, block); },
                                  "Blowfish: Key not set");
    blowfish.InitialiseString("key");
    blowfish.CipherMode = CFB;
    ExpectThrowMessage<EKeyError>([&] { blowfish.EncBlock(block, block); }, "Blowfish: IV not set");
    blowfish.LoadIVString("");
    EXPECT_NO_THROW(blowfish.EncBlock(block, block));
}

TEST(BlowfishKeyTest, BurnForgetsKeyAndIV) {
    TBlowfish blowfish(nullptr);
    blowfish.CipherMode = CBC;
    blowfish.InitialiseString("key");
    blowfish.LoadIVString("iv");
    blowfish.Burn();
    AnsiString out;
    ExpectThrowMessage<EKeyError>([&] { blowfish.EncString("x", out); }, "Blowfish: Key not set");
    blowfish.InitialiseString("key");
    ExpectThrowMessage<EKeyError>([&] { blowfish.EncString("x", out); }, "Blowfish: IV not set");
}

TEST(BlowfishKeyTest, IVBytesAreFoldedIntoEightBytes) {
    // Byte i goes into IV byte i mod 8: "ABCDEFGH" then "ABCDEFGH" again
    // cancels out to a zero IV.
    TBlowfish folded(nullptr);
    TBlowfish zero(nullptr);
    for (TBlowfish* b : {&folded, &zero}) {
        b->CipherMode = CBC;
        b->InitialiseString("key");
    }
    folded.LoadIVString("ABCDEFGHABCDEFGH");
    zero.LoadIVByte(Bytes(8, 0).data(), 8);
    AnsiString a, b;
    folded.EncString("same text", a);
    zero.EncString("same text", b);
    EXPECT_EQ(a, b);
}

TEST(BlowfishKeyTest, VersionText) {
    EXPECT_EQ(TBlowfish(nullptr).GetVersion(), "Blowfish 1.15");
}

TEST(BlowfishKeyTest, IsAComponentOfItsOwner) {
    TComponent owner(nullptr);
    auto* blowfish = new TBlowfish(&owner);
    EXPECT_EQ(owner.ComponentCount, 1);
    EXPECT_EQ(owner.Components[0](), blowfish);
}

class BlowfishStreamTest : public testing::TestWithParam<int> {
protected:
    static AnsiString Sample(int length) {
        AnsiString text(static_cast<size_t>(length), '\0');
        for (int i = 0; i < length; ++i)
            text[static_cast<size_t>(i)] = static_cast<char>(i * 7 + i / 251);
        return text;
    }
    static AnsiString Contents(TMemoryStream& stream) {
        return AnsiString(reinterpret_cast<char*>(stream.Memory()),
                          static_cast<size_t>(stream.Size));
    }
    static void Fill(TMemoryStream& stream, const AnsiString& text) {
        stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
    }
    static AnsiString ReadFile(const std::filesystem::path& path) {
        TMemoryStream stream;
        stream.LoadFromFile(path.string());
        return Contents(stream);
    }
    static void WriteFile(const std::filesystem::path& path, const AnsiString& text) {
        TMemoryStream stream;
        Fill(stream, text);
        stream.SaveToFile(path.string());
    }

    void SetUp() override { blowfish.InitialiseString("stream key"); }

    TBlowfish blowfish{nullptr};
    const TempFolder files{"blowfish"};
    const std::filesystem::path folder = files.Path();
};

// Streams and files are padded as a whole and give the same bytes as the
// string operation on the same text.
TEST_P(BlowfishStreamTest, StreamsAndFilesMatchTheStringFormAndRoundTrip) {
    const AnsiString plain = Sample(GetParam());
    blowfish.StringMode = smNormal;
    AnsiString expected;
    blowfish.EncString(plain, expected);
    if (plain.empty())
        expected = ""; // an empty stream gives nothing

    TMemoryStream source, cipher, back;
    Fill(source, plain);
    blowfish.EncStream(source, cipher);
    EXPECT_EQ(Contents(cipher), expected);
    blowfish.DecStream(cipher, back);
    EXPECT_EQ(Contents(back), plain);

    WriteFile(folder / "plain", plain);
    blowfish.EncFile((folder / "plain").string(), (folder / "cipher").string());
    const AnsiString fileCipher = ReadFile(folder / "cipher");
    // A file's last chunk is padded even when it is empty.
    if (plain.empty()) {
        EXPECT_EQ(fileCipher.size(), 8u);
    } else {
        EXPECT_EQ(fileCipher, expected);
    }
    blowfish.DecFile((folder / "cipher").string(), (folder / "back").string());
    EXPECT_EQ(ReadFile(folder / "back"), plain);
}

INSTANTIATE_TEST_SUITE_P(Lengths, BlowfishStreamTest,
                         testing::Values(0, 1, 8, 4087, 4088, 4095, 4096, 4097, 8192, 10000));

TEST(BlowfishFileTest, FileErrorsAreReported) {
    TBlowfish blowfish(nullptr);
    blowfish.InitialiseString("key");
    const TempFolder files("blowfish");
    const std::filesystem::path folder = files.Path();
    ExpectThrowMessage<EFileError>(
        [&] { blowfish.EncFile((folder / "no such file").string(), (folder / "out").string()); },
        "Blowfish: Input file not found");
    const AnsiString existing = (folder / "blowfish-input").string();
    { TFileStream create(existing, fmCreate); }
    ExpectThrowMessage<EFileError>(
        [&] { blowfish.DecFile(existing, (folder / "no such folder" / "out").string()); },
        "Blowfish: Could not open output file");
}

TEST(BlowfishFileTest, DamagedPaddingCountNeverReachesBeforeTheData) {
    TBlowfish blowfish(nullptr);
    blowfish.InitialiseString("key");
    blowfish.StringMode = smNormal;
    // One block whose last plain byte says 200 bytes of padding.
    AnsiString block = AnsiString("1234567") + static_cast<char>(200);
    TMemoryStream cipher, back;
    BYTE enciphered[8];
    blowfish.EncBlock(reinterpret_cast<const BYTE*>(block.data()), enciphered);
    cipher.WriteBuffer(enciphered, 8);
    blowfish.DecStream(cipher, back);
    EXPECT_EQ(back.Size, 0);
}

} // namespace
