// The readers of the code collections' files: every protocol a Flipper file names reaches the
// converter's protocol with the parameters its address and command stand for, a lircd.conf
// remote's codes render into signals the decoder names, and anything malformed is refused
// whole with its line. The files are small ones written from the formats' descriptions.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "converter/code_collection.h"
#include "converter/collection_protocols.h"
#include "converter/flipper_file.h"
#include "converter/ir_decode.h"
#include "converter/lircd_file.h"
#include "converter/pronto_list_reader.h"
#include "converter/protocol_request.h"
#include "converter/protocol_text_file.h"

namespace quorvel {
namespace {

const std::string kFlipperHeader = "Filetype: IR signals file\nVersion: 1\n";

std::vector<CollectionButton> Read(const std::string& text, CollectionFormat format) {
    const CollectionReading reading = ReadCollection(text, format);
    EXPECT_TRUE(reading) << ProblemText(reading.Problem());
    return reading ? *reading : std::vector<CollectionButton>{};
}

// "NEC1 D=4 S=251 F=8" for a protocol button, what the decoder names in timings, or the reason
// a button cannot be sent.
std::string SendsText(const ButtonSignal& signal) {
    switch (signal.kind) {
        case ButtonSignal::Kind::kProtocol:
            return ProtocolText(Decoded{signal.protocol, signal.params, 0});
        case ButtonSignal::Kind::kTimings: {
            const std::optional<Decoded> decoded = Decode(signal.durations, signal.carrierHz);
            return decoded ? ProtocolText(*decoded) : "undecoded";
        }
        case ButtonSignal::Kind::kUnsendable:
            break;
    }
    return "unsendable: " + signal.unsendable;
}

std::string FlipperParsed(const std::string& protocol, const std::string& address,
                          const std::string& command) {
    return kFlipperHeader + "#\nname: Key\ntype: parsed\nprotocol: " + protocol +
           "\naddress: " + address + "\ncommand: " + command + "\n";
}

TEST(FlipperReader, EachProtocolReachesTheConverterAndWritesBackAsItWas) {
    const struct Case {
        const char* protocol;
        const char* address;
        const char* command;
        const char* sends;
        bool writesBack;
    } cases[] = {
        {"NEC", "04 00 00 00", "08 00 00 00", "NEC1 D=4 S=251 F=8", true},
        {"NECext", "86 6B 00 00", "02 FD 00 00", "NEC1 D=134 S=107 F=2", true},
        {"NECext", "86 6B 00 00", "34 12 00 00", "NEC1-f16 D=134 S=107 F=4660", true},
        {"NEC42", "34 12 00 00", "05 00 00 00", "Aiwa D=52 S=18 F=5", true},
        {"NEC42ext", "34 62 B9 03", "05 FA 00 00", "Aiwa D=52 S=2 F=5", false},
        // Its single frame is NECx1's too, which the decoder names first: written back raw.
        {"Samsung32", "07 00 00 00", "02 00 00 00", "Samsung32 D=7 S=7 F=2", false},
        {"RC5", "03 00 00 00", "09 00 00 00", "RC5 D=3 F=9 T=0", true},
        {"RC5X", "03 00 00 00", "49 00 00 00", "RC5 D=3 F=73 T=0", true},
        {"RC6", "01 00 00 00", "02 00 00 00", "RC6 D=1 F=2 T=0", true},
        {"SIRC", "01 00 00 00", "15 00 00 00", "Sony12 D=1 F=21", true},
        {"SIRC15", "E0 00 00 00", "10 00 00 00", "Sony15 D=224 F=16", true},
        {"SIRC20", "01 01 00 00", "15 00 00 00", "Sony20 D=1 S=8 F=21", true},
        {"Kaseikyo", "02 20 21 01", "3F 00 00 00", "Panasonic D=16 S=242 F=67", true},
        {"Kaseikyo", "54 32 21 01", "3F 00 00 00", "Denon-K D=1 S=2 F=1087", true},
        {"RCA", "0F 00 00 00", "2A 00 00 00", "RCA D=15 F=42", true},
        {"Pioneer", "AA 00 00 00", "1C 00 00 00", "Pioneer D=170 S=85 F=28", true},
        // Read, but the converter has nothing that sends them.
        {"NEC42ext", "34 12 00 00", "05 00 00 00", "unsendable: NEC42ext", false},
        {"Kaseikyo", "03 01 21 01", "3F 00 00 00", "unsendable: Kaseikyo of vendor 0x103", false},
        {"Sharp", "01 00 00 00", "01 00 00 00", "unsendable: the protocol Sharp", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.protocol) + " " + c.address + " / " + c.command);
        const std::vector<CollectionButton> buttons =
            Read(FlipperParsed(c.protocol, c.address, c.command), CollectionFormat::kFlipper);
        ASSERT_EQ(buttons.size(), 1u);
        EXPECT_EQ(buttons[0].name, "Key");
        EXPECT_EQ(buttons[0].line, 4);
        EXPECT_EQ(SendsText(buttons[0].signal).rfind(c.sends, 0), 0u)
            << SendsText(buttons[0].signal);
        if (!c.writesBack)
            continue;
        // The writer gives the rendered signal its parsed form again.
        const std::optional<Rendered> rendered = RenderButton(buttons[0].signal);
        ASSERT_TRUE(rendered);
        const std::string written =
            WriteFlipperFile({{"Key", *rendered}}, FlipperSignals::kParsedWhereFits);
        EXPECT_EQ(written, FlipperParsed(c.protocol, c.address, c.command));
    }
}

TEST(FlipperReader, RawSignalsCommentsAndLineEnds) {
    const std::string file =
        "Filetype: IR signals file\r\nVersion: 1\r\n"
        "# A TV, written by hand\r\n"
        "#\r\n"
        "name: Power\r\n"
        "type: raw\r\n"
        "frequency: 36000\r\n"
        "duty_cycle: 0.330000\r\n"
        "data: 2664 888 444 444 444 888\r\n"
        "data: 888 444\r\n"
        "\r\n"
        "#\r\n"
        "name: Mute\r\n"
        "type: raw\r\n"
        "frequency: 38000\r\n"
        "duty_cycle: 0.33\r\n"
        "data: 9000 4500 560\r\n";
    const std::vector<CollectionButton> buttons = Read(file, CollectionFormat::kFlipper);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].name, "Power");
    EXPECT_EQ(buttons[0].line, 5);
    EXPECT_EQ(buttons[0].signal.carrierHz, 36000u);
    // An even count ends with the space after the last mark; data lines go on one another.
    EXPECT_EQ(buttons[0].signal.durations,
              (Durations{2664, -888, 444, -444, 444, -888, 888, -444}));
    EXPECT_EQ(buttons[1].signal.durations, (Durations{9000, -4500, 560}));
    // The same file with plain line ends reads the same.
    std::string unix = file;
    std::erase(unix, '\r');
    const std::vector<CollectionButton> again = Read(unix, CollectionFormat::kFlipper);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[0].signal.durations, buttons[0].signal.durations);
    EXPECT_EQ(DetectCollectionFormat(file), CollectionFormat::kFlipper);
    EXPECT_EQ(Read(kFlipperHeader, CollectionFormat::kFlipper).size(), 0u);
}

struct Malformed {
    std::string text;
    int line;
    const char* says;
};

void ExpectRefused(const std::vector<Malformed>& cases, CollectionFormat format) {
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.text);
        const CollectionReading reading = ReadCollection(c.text, format);
        ASSERT_FALSE(reading);
        EXPECT_EQ(reading.Problem().line, c.line) << reading.Problem().text;
        EXPECT_NE(reading.Problem().text.find(c.says), std::string::npos) << reading.Problem().text;
    }
}

TEST(FlipperReader, MalformedFilesAreRefusedWholeWithTheirLine) {
    const std::string raw = "#\nname: A\ntype: raw\nfrequency: 38000\nduty_cycle: 0.33\n";
    ExpectRefused(
        {
            {"", 0, "empty"},
            {"# nothing but a comment\n", 0, "empty"},
            {"Filetype: Flipper SubGhz RAW File\nVersion: 1\n", 1, "not a Flipper infrared"},
            {"Filetype: IR signals file\nVersion: 2\n", 2, "version 2"},
            {"Filetype: IR signals file\nname: A\n", 2, "Version"},
            {kFlipperHeader + "type: raw\n", 3, "starts with its name"},
            {kFlipperHeader + "name: A\nno colon here\n", 4, "key: value"},
            {kFlipperHeader + "name: A\ncolour: red\n", 4, "unknown key"},
            {kFlipperHeader + "name: A\ntype: raw\ntype: raw\n", 5, "twice"},
            {kFlipperHeader + "name: A\ntype: mixed\n", 4, "parsed or raw"},
            {kFlipperHeader + "name: \n", 3, "printable"},
            {kFlipperHeader + "name: A\ntype: parsed\nprotocol: NEC\naddress: 04 00 00 00\n", 3,
             "no command"},
            {kFlipperHeader + "name: A\ntype: parsed\nprotocol: NEC\naddress: 04 00 00\n"
                              "command: 08 00 00 00\n",
             6, "four bytes"},
            {kFlipperHeader + "name: A\ntype: parsed\nprotocol: NEC\naddress: 04 00 00 00\n"
                              "command: 0G 00 00 00\n",
             7, "four bytes"},
            {FlipperParsed("SIRC", "20 00 00 00", "01 00 00 00"), 7, "wider than SIRC's 5 bits"},
            {FlipperParsed("NEC", "04 01 00 00", "01 00 00 00"), 7, "wider than NEC's 8 bits"},
            {FlipperParsed("RC5", "01 00 00 00", "40 00 00 00"), 7, "command 0x40"},
            {kFlipperHeader + raw, 4, "frequency and data"},
            {kFlipperHeader + raw + "data: 9000 0 560\n", 8, "not 0"},
            {kFlipperHeader + raw + "data: 9000 4500 abc\n", 8, "not abc"},
            {kFlipperHeader + raw + "data: 9000 20000000\n", 8, "10000000"},
            {kFlipperHeader + raw + "data:\n", 8, "no duration"},
            {kFlipperHeader + "#\nname: A\ntype: raw\nfrequency: 38k\ndata: 1\n", 6, "hertz"},
            {kFlipperHeader + "#\nname: A\ntype: raw\nfrequency: 38000\nduty_cycle: 33%\n"
                              "data: 1\n",
             7, "duty cycle"},
            // The second signal's fault refuses the first too.
            {kFlipperHeader + raw + "data: 9000 4500\n#\nname: B\ntype: raw\n", 10, "frequency"},
        },
        CollectionFormat::kFlipper);
}

const std::string kNecRemote =
    "# A TV remote, NEC with the address in pre_data\n"
    "begin remote\n"
    "  name  tv\n"
    "  bits           16\n"
    "  flags SPACE_ENC|CONST_LENGTH\n"
    "  eps            30\n"
    "  aeps          100\n"
    "  header       9000  4500\n"
    "  one           563  1687\n"
    "  zero          563   562\n"
    "  ptrail        563\n"
    "  repeat       9000  2250\n"
    "  pre_data_bits   16\n"
    "  pre_data       0x20DF\n"
    "  gap          108000\n"
    "  toggle_bit_mask 0x0\n"
    "      begin codes\n"
    "          KEY_POWER                0x10EF    # the red one\n"
    "          KEY_MUTE                 0x906F\n"
    "      end codes\n"
    "end remote\n";

TEST(LircdReader, RemotesOfEachEncodingRenderWhatTheDecoderNames) {
    const std::string rc5 =
        "begin remote\n  name rc5\n  bits 13\n  flags RC5|CONST_LENGTH\n  one 889 889\n"
        "  zero 889 889\n  plead 889\n  gap 113792\n  toggle_bit_mask 0x800\n"
        "  frequency 36000\n  begin codes\n    KEY_VOLUMEUP 0x10C9\n  end codes\nend remote\n";
    const std::string rc6 =
        "begin remote\n  name rc6\n  bits 16\n  flags RC6|CONST_LENGTH\n  header 2666 889\n"
        "  one 444 444\n  zero 444 444\n  pre_data_bits 5\n  pre_data 0x10\n  gap 107000\n"
        "  frequency 36000\n  begin codes\n    KEY_OK 0x0102\n  end codes\nend remote\n";
    const std::string sony =
        "begin remote\n  name sony\n  bits 12\n  flags SPACE_ENC|CONST_LENGTH|REVERSE\n"
        "  header 2400 600\n  one 1200 600\n  zero 600 600\n  gap 45000\n  min_repeat 2\n"
        "  frequency 40000\n  begin codes\n    KEY_MENU 0x095\n  end codes\nend remote\n";
    const std::string raw =
        "begin remote\n  name raw\n  flags RAW_CODES\n  frequency 38000\n  gap 40000\n"
        "  begin raw_codes\n    name Power\n      9000 4500 560\n      560 560\n"
        "    name Mute\n      100 200 300\n  end raw_codes\nend remote\n";
    const struct Case {
        const std::string& file;
        std::vector<std::string> sends;
    } cases[] = {
        {kNecRemote, {"NEC1 D=4 S=251 F=8", "NEC1 D=4 S=251 F=9"}},
        {rc5, {"RC5 D=3 F=9 T=0"}},
        {rc6, {"RC6 D=1 F=2 T=0"}},
        {sony, {"Sony12 D=1 F=21"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(DetectCollectionFormat(c.file), CollectionFormat::kLircd);
        const std::vector<CollectionButton> buttons = Read(c.file, CollectionFormat::kLircd);
        ASSERT_EQ(buttons.size(), c.sends.size());
        for (std::size_t i = 0; i < buttons.size(); ++i)
            EXPECT_EQ(SendsText(buttons[i].signal), c.sends[i]);
    }
    const std::vector<CollectionButton> tv = Read(kNecRemote, CollectionFormat::kLircd);
    ASSERT_EQ(tv.size(), 2u);
    EXPECT_EQ(tv[0].name, "KEY_POWER");
    EXPECT_EQ(tv[0].remote, "tv");
    EXPECT_EQ(tv[0].line, 18);
    EXPECT_EQ(tv[0].signal.carrierHz, 38000u);  // the usual carrier when none is stated
    // CONST_LENGTH: the frame and its gap last 108 ms together.
    std::int64_t total = 0;
    for (const std::int32_t d : tv[0].signal.durations)
        total += d > 0 ? d : -d;
    EXPECT_EQ(total, 108000);

    // Raw codes from a pulse, the remote's gap after each; two remotes in one file.
    const std::vector<CollectionButton> both = Read(raw + kNecRemote, CollectionFormat::kLircd);
    ASSERT_EQ(both.size(), 4u);
    EXPECT_EQ(both[0].remote, "raw");
    EXPECT_EQ(both[0].signal.durations, (Durations{9000, -4500, 560, -560, 560, -40000}));
    EXPECT_EQ(both[1].name, "Mute");
    EXPECT_EQ(both[1].signal.durations, (Durations{100, -200, 300, -40000}));
    EXPECT_EQ(both[2].remote, "tv");
    std::string crlf;
    for (const char c : kNecRemote)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Read(crlf, CollectionFormat::kLircd)[1].signal.durations, tv[1].signal.durations);
}

TEST(LircdReader, MalformedFilesAreRefusedWholeWithTheirLine) {
    const std::string head = "begin remote\n  name x\n  bits 8\n";
    ExpectRefused(
        {
            {"", 0, "no remote"},
            {"# only words\n", 0, "no remote"},
            {"name x\n", 1, "begin remote"},
            {head + "  flags SPACE_ENC|GRUNDIG\n", 4, "GRUNDIG"},
            {head + "  header 9000\n", 4, "2 values"},
            {head + "  header 9000 45x0\n", 4, "not a number"},
            {head + "  colour red\n", 4, "unknown parameter"},
            {head + "  bits 65\n", 4, "0 to 64"},
            {head + "  gap 99999999\n", 4, "10000000"},
            {head + "  begin codes\n    KEY 0x1FF\n  end codes\nend remote\n", 5, "wider"},
            {head + "  begin codes\n    KEY zz\n  end codes\nend remote\n", 5, "not a code"},
            {head + "  begin codes\n    KEY\n  end codes\nend remote\n", 5, "name and its code"},
            {head + "  begin codes\n    A 0x1\n    A 0x2\n  end codes\nend remote\n", 6,
             "named twice"},
            {head + "  begin codes\n    A 0x1\n", 5, "ends inside the remote"},
            {"begin remote\n  begin codes\n  end codes\nend remote\n", 2, "states its bits"},
            {"begin remote\n  begin raw_codes\n    100 200\n", 3, "starts with \"name\""},
            {"begin remote\n  begin raw_codes\n    name A\n    100 0 100\n", 4, "not 0"},
            {"begin remote\n  begin raw_codes\n    name A\n    name B\n    1\n", 3, "no durations"},
            {head + "  begin something\n", 4, "unexpected begin"},
        },
        CollectionFormat::kLircd);
}

TEST(ProtocolCsvReader, ButtonsOfTheDatabasesProtocols) {
    const std::string file =
        "functionname,protocol,device,subdevice,function\r\n"
        "POWER,NEC1,4,-1,8\r\n"
        "\"VOL+, louder\",NECx2,7,7,2\r\n"
        "MENU,Sony12,1,-1,21\r\n"
        "OK,RC6,1,-1,2\r\n"
        "GUIDE,XMP,1,2,3\r\n";
    EXPECT_EQ(DetectCollectionFormat(file), CollectionFormat::kProtocolCsv);
    const std::vector<CollectionButton> buttons = Read(file, CollectionFormat::kProtocolCsv);
    ASSERT_EQ(buttons.size(), 5u);
    const char* sends[] = {"NEC1 D=4 S=251 F=8", "Samsung32 D=7 S=7 F=2", "Sony12 D=1 F=21",
                           "RC6 D=1 F=2 T=0", "unsendable: the protocol XMP"};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(SendsText(buttons[i].signal).rfind(sends[i], 0), 0u)
            << SendsText(buttons[i].signal);
    EXPECT_EQ(buttons[1].name, "VOL+, louder");
    EXPECT_EQ(buttons[1].line, 3);

    const std::string header = "functionname,protocol,device,subdevice,function\n";
    ExpectRefused(
        {
            {"", 0, "empty"},
            {"name,protocol,device\n", 1, "five fields"},
            {"a,b,c,d,e\n", 1, "header"},
            {header + "POWER,NEC1,4,-1\n", 2, "five fields"},
            {header + "POWER,NEC1,four,-1,8\n", 2, "decimal"},
            {header + "POWER,NEC1,256,-1,8\n", 2, "device 256"},
            {header + "POWER,Sony12,1,-1,128\n", 2, "function 128"},
            {header + "POWER,Sony20,1,-1,1\n", 2, "needs a subdevice"},
            {header + "\"POWER,NEC1,4,-1,8\n", 2, "quote"},
            {header + ",NEC1,4,-1,8\n", 2, "name"},
        },
        CollectionFormat::kProtocolCsv);
}

TEST(ProntoListReader, LearnedAndShortForms) {
    const std::string file =
        "# name, a tab, the code\n"
        "Power\t0000 006D 0000 0002 0020 0010 0020 0C00\n"
        "Dark\t0100 006D 0000 0002 0020 0010 0020 0C00\n"
        "Vol_up\t5000 0073 0000 0001 0003 0009\n"
        "Ch_next\t5001 0073 0000 0002 0003 0045 0009 0000\n"
        "OK  6000 0073 0000 0001 0001 0002\n"
        "Mute\t900A 006D 0000 0001 04FB 08F7\n";
    EXPECT_EQ(DetectCollectionFormat(file), CollectionFormat::kProntoList);
    const std::vector<CollectionButton> buttons = Read(file, CollectionFormat::kProntoList);
    ASSERT_EQ(buttons.size(), 6u);
    EXPECT_EQ(buttons[0].signal.kind, ButtonSignal::Kind::kTimings);
    EXPECT_NEAR(buttons[0].signal.carrierHz, 38000, 200);
    EXPECT_EQ(buttons[0].signal.durations.size(), 4u);
    // Unmodulated: its durations read, no carrier.
    EXPECT_EQ(buttons[1].signal.kind, ButtonSignal::Kind::kTimings);
    EXPECT_EQ(buttons[1].signal.carrierHz, 0u);
    EXPECT_EQ(buttons[1].signal.durations, buttons[0].signal.durations);
    EXPECT_EQ(SendsText(buttons[2].signal), "RC5 D=3 F=9 T=0");
    EXPECT_EQ(SendsText(buttons[3].signal), "RC5x D=3 S=69 F=9 T=0");
    EXPECT_EQ(buttons[4].name, "OK");
    EXPECT_EQ(SendsText(buttons[4].signal), "RC6 D=1 F=2 T=0");
    EXPECT_EQ(SendsText(buttons[5].signal), "NEC1 D=4 S=251 F=8");

    ExpectRefused(
        {
            {"Power\n", 1, "name, a tab"},
            {"Power\t0000 006D 0000 0002 0020 0010\n", 1, "call for 4"},
            {"Power\t0000 0000 0000 0001 0020 0010\n", 1, "carrier"},
            {"Power\t5000 0073 0000 0001 0020 0009\n", 1, "at most 31"},
            {"Power\t900A 006D 0000 0001 04FB 0808\n", 1, "complement"},
            {"Power\t7000 006D 0000 0001 04FB 0808\n", 1, "not a Pronto form"},
            {"Power\tzz\n", 1, "four hex digits"},
        },
        CollectionFormat::kProntoList);
}

TEST(LircdWriter, RawCodesReadBackAsWritten) {
    Rendered nec = Render(*FindProtocol("NEC1"), Params{{4, 251, 8}}, 0);
    Rendered sony = Render(*FindProtocol("Sony12"), Params{{1, 0, 21}}, 2);
    const std::string file = WriteLircdFile("keylearn", {{"Power", nec}, {"Menu", sony}});
    const std::vector<CollectionButton> buttons = Read(file, CollectionFormat::kLircd);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].remote, "keylearn");
    EXPECT_EQ(buttons[1].remote, "keylearn_40000");
    EXPECT_EQ(buttons[0].signal.carrierHz, nec.carrierHz);
    // Everything but the silence at the end, which the remote's gap gives.
    EXPECT_EQ(Durations(buttons[1].signal.durations.begin(), buttons[1].signal.durations.end() - 1),
              Durations(sony.durations.begin(), sony.durations.end() - 1));
    EXPECT_EQ(SendsText(buttons[0].signal), "NEC1 D=4 S=251 F=8");
    EXPECT_EQ(SendsText(buttons[1].signal), "Sony12 D=1 F=21");
}

TEST(CollectionReaders, TenMegabyteFilesReadInGoodTime) {
    // Each button under a name of its own (KEY_0, KEY_1, ...), since a lircd.conf remote
    // names a button once: `before` and `after` stand on either side of the name.
    const auto big = [](const std::string& head, const std::string& before,
                        const std::string& after) {
        std::string text = head;
        for (int i = 0; text.size() < 10 * 1024 * 1024; ++i)
            text += before + "KEY_" + std::to_string(i) + after;
        return text;
    };
    const struct Case {
        CollectionFormat format;
        std::string text;
    } cases[] = {
        {CollectionFormat::kFlipper,
         big(kFlipperHeader, "#\nname: ",
             "\ntype: raw\nfrequency: 38000\nduty_cycle: 0.33\n"
             "data: 9000 4500 560 560 560 1690 560 560 560 1690 560 40000\n")},
        {CollectionFormat::kLircd,
         big("begin remote\n  name big\n  flags RAW_CODES\n  gap 40000\n  begin raw_codes\n",
             "    name ", "\n      9000 4500 560 560 560 1690 560 560 560 1690 560\n") +
             "  end raw_codes\nend remote\n"},
        {CollectionFormat::kProtocolCsv,
         big("functionname,protocol,device,subdevice,function\n", "", ",NEC1,4,-1,8\n")},
        {CollectionFormat::kProntoList, big("", "", "\t5000 0073 0000 0001 0003 0009\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CollectionFormatName(c.format));
        const auto start = std::chrono::steady_clock::now();
        const CollectionReading reading = ReadCollection(c.text, c.format);
        ASSERT_TRUE(reading) << ProblemText(reading.Problem());
        EXPECT_GT(reading->size(), 10000u);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    }
}

TEST(CollectionProtocolTable, EveryRowNamesAConverterProtocol) {
    for (const CollectionProtocol& row : CollectionProtocols())
        EXPECT_NE(FindProtocol(row.converterName), nullptr) << row.name;
    EXPECT_EQ(FindCollectionProtocol(CollectionFormat::kFlipper, "necEXT"),
              FindCollectionProtocol(CollectionFormat::kFlipper, "NECext"));
    EXPECT_EQ(FindCollectionProtocol(CollectionFormat::kFlipper, "NEC1"), nullptr);
}

}  // namespace
}  // namespace quorvel
