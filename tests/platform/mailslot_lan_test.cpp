// Mailslots across the computers of a simulated network (tests/testbed/netns-lan.sh): domain and
// named writes, what receivers drop, and the wire format as a capture tool decodes it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "line_process.h"
#include "netbios_datagram.h"
#include "temp_dir.h"

namespace {

using platform_tests::LineProcess;

const std::string kLan = NETNS_LAN;
const std::string kProbe = MAILSLOT_PROBE;

// One test bed per test, removed afterwards.
class LanTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) {
            GTEST_SKIP() << "needs root: the test bed consists of network namespaces";
        }
        static std::atomic<int> serial{0};
        tag_ = "pl" + std::to_string(getpid()) + "_" + std::to_string(serial++);
    }

    void TearDown() override {
        listeners_.clear();
        if (!tag_.empty()) {
            test_support::RunChild({kLan, "down", tag_});
        }
    }

    void Up(const std::vector<std::string>& computers) {
        std::vector<std::string> command = {kLan, "up", tag_};
        command.insert(command.end(), computers.begin(), computers.end());
        const test_support::ChildResult result = test_support::RunChild(command);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }

    std::vector<std::string> On(const std::string& computer, std::vector<std::string> command) {
        command.insert(command.begin(), {kLan, "exec", tag_, computer});
        return command;
    }

    // Runs a probe command on a computer to its end; its output.
    std::string Run(const std::string& computer, const std::vector<std::string>& probeArgs) {
        std::vector<std::string> command = {kProbe};
        command.insert(command.end(), probeArgs.begin(), probeArgs.end());
        const test_support::ChildResult result = test_support::RunChild(On(computer, command));
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        return result.out;
    }

    LineProcess& Listen(const std::string& computer, const std::string& name) {
        listeners_.push_back(std::make_unique<LineProcess>(On(computer, {kProbe, "listen", name})));
        LineProcess& listener = *listeners_.back();
        EXPECT_TRUE(listener.WaitFor("ready")) << computer;
        return listener;
    }

    // Ends a listener and returns everything it printed.
    static std::vector<std::string> Finish(LineProcess& listener) {
        listener.CloseInput();
        EXPECT_TRUE(listener.WaitFor("end"));
        EXPECT_EQ(listener.Wait(), 0);
        return listener.Lines();
    }

    static int CountOf(const std::vector<std::string>& lines, const std::string& line) {
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    static std::string DroppedLine(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            if (line.rfind("dropped ", 0) == 0) {
                return line;
            }
        }
        return {};
    }

    std::string tag_;
    std::vector<std::unique_ptr<LineProcess>> listeners_;
};

TEST_F(LanTest, ADomainWriteReachesEveryComputerOnceAndANamedWriteOnlyItsComputer) {
    Up({"COMPA", "COMPB", "COMPC"});
    LineProcess& a = Listen("COMPA", "LanSlot");
    LineProcess& b = Listen("COMPB", "LanSlot");
    LineProcess& c = Listen("COMPC", "LanSlot");

    Run("COMPA", {"write", "\\\\*\\mailslot\\LanSlot", "domain from A"});
    Run("COMPA", {"write", "\\\\COMPB\\Mailslot\\lanslot", "named to B"});
    Run("COMPA", {"write", "\\\\WORKGROUP\\MAILSLOT\\LANSLOT", "workgroup from A"});
    // The last write comes from another computer: once it is in, all of A's writes are.
    Run("COMPB", {"write", "\\\\*\\mailslot\\LanSlot", "marker from B"});
    for (LineProcess* listener : {&a, &b, &c}) {
        EXPECT_TRUE(listener->WaitFor("msg marker from B"));
    }

    const std::vector<std::string> onA = Finish(a);
    const std::vector<std::string> onB = Finish(b);
    const std::vector<std::string> onC = Finish(c);
    for (const auto* lines : {&onA, &onB, &onC}) {
        EXPECT_EQ(CountOf(*lines, "msg domain from A"), 1);
        EXPECT_EQ(CountOf(*lines, "msg workgroup from A"), 1);
        EXPECT_EQ(CountOf(*lines, "msg marker from B"), 1);
    }
    EXPECT_EQ(CountOf(onA, "msg named to B"), 0);
    EXPECT_EQ(CountOf(onB, "msg named to B"), 1);
    EXPECT_EQ(CountOf(onC, "msg named to B"), 0);
    // The sender's own computer did hear its broadcasts, and took its copy locally instead.
    EXPECT_NE(DroppedLine(onA).find("own=3"), std::string::npos) << DroppedLine(onA);
    EXPECT_NE(DroppedLine(onC).find("other=1"), std::string::npos) << DroppedLine(onC);
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : bytes) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0x0F]);
    }
    return text;
}

corvane::netbios::MailslotWrite WriteTo(const std::string& computer, const std::string& slot,
                                        const std::string& text) {
    corvane::netbios::MailslotWrite write;
    write.type = corvane::netbios::kDirectUnique;
    write.sourceIp = 0x0A4D0002;
    write.source = {"COMPB", 0};
    write.destination = {computer, 0};
    write.mailslotName = "\\MAILSLOT\\" + slot;
    write.data.assign(text.begin(), text.end());
    return write;
}

TEST_F(LanTest, AReceiverTakesOnlyWellFormedWritesForItsNamesAndCountsTheRest) {
    Up({"COMPA", "COMPB"});
    LineProcess& a = Listen("COMPA", "Guarded");
    const std::vector<std::uint8_t> valid =
        corvane::netbios::EncodeMailslotWrite(WriteTo("COMPA", "guarded", "well formed"));
    std::vector<std::uint8_t> fragment = valid;
    fragment[1] = 0x03;
    std::vector<std::uint8_t> lyingLength = valid;
    lyingLength[11] = static_cast<std::uint8_t>(lyingLength[11] + 40);
    std::vector<std::uint8_t> badOffset = valid;
    badOffset[82 + 57] = 0xF0;
    const std::vector<std::uint8_t> truncated(valid.begin(), valid.begin() + 90);
    const std::vector<std::uint8_t> otherComputer =
        corvane::netbios::EncodeMailslotWrite(WriteTo("COMPX", "guarded", "not for A"));
    const std::vector<std::uint8_t> otherSlot =
        corvane::netbios::EncodeMailslotWrite(WriteTo("COMPA", "unheld", "no such slot"));

    Run("COMPB", {"udp", "10.77.0.1", Hex(fragment), Hex(lyingLength), Hex(badOffset),
                  Hex(truncated), "00", Hex(otherComputer), Hex(otherSlot), Hex(valid)});
    Run("COMPB", {"write", "\\\\COMPA\\mailslot\\Guarded", "marker"});
    EXPECT_TRUE(a.WaitFor("msg marker"));
    const std::vector<std::string> lines = Finish(a);
    EXPECT_EQ(CountOf(lines, "msg well formed"), 1);
    EXPECT_EQ(CountOf(lines, "msg not for A"), 0);
    EXPECT_EQ(CountOf(lines, "msg no such slot"), 0);
    EXPECT_EQ(DroppedLine(lines), "dropped malformed=5 other=1 own=0 notheld=1 toolarge=0 full=0");
}

// A broadcast is never sure to be heard: an interface that goes away between two writes loses
// the datagram, and the write succeeds as one nobody hears does.
TEST_F(LanTest, AWriteSucceedsWhenTheInterfaceLostItsAddressMeanwhile) {
    Up({"COMPA", "COMPB"});
    LineProcess writer(On("COMPA", {kProbe, "write-twice", "\\\\*\\mailslot\\Away", "lost"}));
    ASSERT_TRUE(writer.WaitFor("wrote 1"));
    // Within the second the writer keeps its list of interfaces.
    const test_support::ChildResult flushed = test_support::RunChild(
        {"/usr/sbin/ip", "-n", "cvlan-" + tag_ + "-COMPA", "addr", "flush", "dev", "eth0"});
    ASSERT_EQ(flushed.exitCode, 0) << flushed.err;
    writer.CloseInput();
    EXPECT_TRUE(writer.WaitFor("wrote 2")) << ::testing::PrintToString(writer.Lines());
    EXPECT_EQ(writer.Wait(), 0);
}

TEST_F(LanTest, ComputerNamesComeFromTheHostNames) {
    Up({"COMPA", "averyveryverylonghostname"});
    EXPECT_EQ(Run("COMPA", {"name"}), "COMPA WORKGROUP\n");
    EXPECT_EQ(Run("averyveryverylonghostname", {"name"}), "AVERYVERYVERYLO WORKGROUP\n");
}

TEST_F(LanTest, ACaptureDecodesAsANetbiosDatagramWithAnSmbMailslotWrite) {
    Up({"COMPA", "COMPB"});
    test_support::TemporaryDirectory directory;
    const std::string capture = (directory.Path() / "write.pcapng").string();
    // dumpcap reports on standard error when it has started capturing.
    LineProcess tshark(On("COMPB", {"/bin/sh", "-c",
                                    "exec tshark -i eth0 -f 'udp port 138' -c 1 -a duration:60 "
                                    "-w '" +
                                        capture + "' 2>&1"}));
    bool capturing = false;
    while (const auto line = tshark.ReadLine(std::chrono::seconds(60))) {
        if (line->find("Capturing on") != std::string::npos) {
            capturing = true;
            break;
        }
    }
    ASSERT_TRUE(capturing) << "tshark did not start capturing";
    Run("COMPA", {"write", "\\\\*\\mailslot\\CaptureSlot", "captured bytes"});
    ASSERT_EQ(tshark.Wait(std::chrono::seconds(60)), 0);

    const test_support::ChildResult decoded = test_support::RunChild({"/usr/bin/tshark",
                                                                      "-r",
                                                                      capture,
                                                                      "-T",
                                                                      "fields",
                                                                      "-E",
                                                                      "separator=|",
                                                                      "-e",
                                                                      "nbdgm.type",
                                                                      "-e",
                                                                      "nbdgm.src.ip",
                                                                      "-e",
                                                                      "nbdgm.source_name",
                                                                      "-e",
                                                                      "nbdgm.destination_name",
                                                                      "-e",
                                                                      "smb.cmd",
                                                                      "-e",
                                                                      "smb.trans_name",
                                                                      "-e",
                                                                      "mailslot.opcode",
                                                                      "-e",
                                                                      "mailslot.class",
                                                                      "-e",
                                                                      "smb.dc"});
    ASSERT_EQ(decoded.exitCode, 0) << decoded.err;
    EXPECT_EQ(decoded.out,
              "17|10.77.0.1|COMPA<00>|WORKGROUP<00>|0x25|\\MAILSLOT\\CaptureSlot|1|2|14\n");

    const test_support::ChildResult verbose =
        test_support::RunChild({"/usr/bin/tshark", "-r", capture, "-V"});
    ASSERT_EQ(verbose.exitCode, 0) << verbose.err;
    EXPECT_NE(verbose.out.find("NetBIOS Datagram Service"), std::string::npos);
    EXPECT_NE(verbose.out.find("Direct_group datagram"), std::string::npos) << verbose.out;
    EXPECT_NE(verbose.out.find("Write Mail Slot"), std::string::npos) << verbose.out;
    EXPECT_EQ(verbose.out.find("Malformed"), std::string::npos) << verbose.out;
}

}  // namespace
