#include "settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "exceptions.h"
#include "file_rights.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// Every test works in a fresh directory of its own.
class SettingsFileTest : public testing::Test {
protected:
    SettingsFileTest() : cwd_(dir_.Path()) {}

    static void Put(const Bytes& bytes, const fs::path& path = kSettingsFileName) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << path;
    }

    static Bytes Contents(const fs::path& path = kSettingsFileName) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The names in the directory: a failed write must leave no temporary file behind.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(dir_.Path())) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // The message of the EInOutError that action raises, or "" when it raises none.
    static std::string ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Message(), InOutErrorMessage(e.ErrorCode()));
            return e.Message();
        }
        return "";
    }

    test_support::TemporaryDirectory dir_;
    test_support::ScopedWorkingDirectory cwd_;
};

TEST(InOutErrorMessageTest, TableOfMessages) {
    struct Case {
        int code;
        const char* message;
    };
    const Case cases[] = {
        {2, "File not found"},     {3, "Invalid filename"},          {4, "Too many open files"},
        {5, "File access denied"}, {100, "Read beyond end of file"}, {101, "Disk full"},
        {32, "I/O error 32"},      {112, "I/O error 112"},           {0, "I/O error 0"},
        {1314, "I/O error 1314"}};
    for (const Case& c : cases) {
        EXPECT_EQ(InOutErrorMessage(c.code), c.message);
    }
}

TEST_F(SettingsFileTest, MissingFile) {
    EXPECT_FALSE(SettingsFileExists());
    EXPECT_EQ(ErrorOf([] { ReadSettingsInterval(); }), "File not found");
}

TEST_F(SettingsFileTest, WritesExactlyEightBytes) {
    struct Case {
        std::uint32_t interval;
        Bytes bytes;
    };
    const Case cases[] = {
        {60000, {0, 0, 0, 0, 0x60, 0xEA, 0x00, 0x00}},
        {2 * 60000, {0, 0, 0, 0, 0xC0, 0xD4, 0x01, 0x00}},
        {999 * 60000, {0, 0, 0, 0, 0xA0, 0x9C, 0x92, 0x03}},
        {0, {0, 0, 0, 0, 0, 0, 0, 0}},
        {0xFFFFFFFF, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        WriteSettingsInterval(c.interval);
        EXPECT_EQ(Contents(), c.bytes) << c.interval;
        EXPECT_TRUE(SettingsFileExists());
        EXPECT_EQ(ReadSettingsInterval(), c.interval);
        EXPECT_EQ(Entries(), std::vector<std::string>{kSettingsFileName});
    }
}

TEST_F(SettingsFileTest, WritingOverALongerFileLeavesEightBytes) {
    Put(Bytes(100, 0x5A));
    WriteSettingsInterval(60000);
    EXPECT_EQ(Contents(), (Bytes{0, 0, 0, 0, 0x60, 0xEA, 0, 0}));
}

TEST_F(SettingsFileTest, ReadsBytesFourToSeven) {
    struct Case {
        Bytes bytes;
        std::uint32_t interval;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0x60, 0xEA, 0, 0}, 60000},
        {{9, 9, 9, 9, 0xC0, 0xD4, 0x01, 0x00}, 120000},  // record 0 is never read
        {{0, 0, 0, 0, 0xA0, 0x9C, 0x92, 0x03, 0xFF}, 999 * 60000},
        {{0, 0, 0, 0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}, 0x04030201},
    };
    for (const Case& c : cases) {
        Put(c.bytes);
        EXPECT_TRUE(SettingsFileExists());
        EXPECT_EQ(ReadSettingsInterval(), c.interval) << c.bytes.size();
    }
}

TEST_F(SettingsFileTest, ShortFileIsReadBeyondEndAndStaysAsItWas) {
    for (std::size_t size = 0; size < 8; ++size) {
        const Bytes bytes(size, 0x11);
        Put(bytes);
        EXPECT_TRUE(SettingsFileExists());
        EXPECT_EQ(ErrorOf([] { ReadSettingsInterval(); }), "Read beyond end of file") << size;
        EXPECT_EQ(Contents(), bytes);
    }
}

TEST_F(SettingsFileTest, DirectoryOfThatNameIsNoFile) {
    fs::create_directory(kSettingsFileName);
    EXPECT_FALSE(SettingsFileExists());
    EXPECT_EQ(ErrorOf([] { ReadSettingsInterval(); }), "File access denied");
    EXPECT_EQ(ErrorOf([] { WriteSettingsInterval(60000); }), "File access denied");
    EXPECT_TRUE(fs::is_directory(kSettingsFileName));
    EXPECT_EQ(Entries(), std::vector<std::string>{kSettingsFileName});
}

TEST_F(SettingsFileTest, ReadOnlyFileCanBeNeitherReadNorWritten) {
    const Bytes original{0, 0, 0, 0, 0xC0, 0xD4, 0x01, 0x00};
    Put(original);
    fs::permissions(kSettingsFileName,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    {
        // Root would pass the permission check; without these rights it meets it.
        test_support::ScopedFileRightsDrop asAnyUser;
        EXPECT_TRUE(SettingsFileExists());
        EXPECT_EQ(ErrorOf([] { ReadSettingsInterval(); }), "File access denied");
        EXPECT_EQ(ErrorOf([] { WriteSettingsInterval(60000); }), "File access denied");
    }
    EXPECT_EQ(Contents(), original);
    EXPECT_EQ(Entries(), std::vector<std::string>{kSettingsFileName});
}

TEST_F(SettingsFileTest, WriteKeepsTheFilesPermissionsAndFollowsALink) {
    Put({0, 0, 0, 0, 1, 0, 0, 0}, "real.inf");
    fs::permissions("real.inf", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.inf", kSettingsFileName);
    WriteSettingsInterval(60000);
    EXPECT_TRUE(fs::is_symlink(kSettingsFileName));
    EXPECT_EQ(Contents("real.inf"), (Bytes{0, 0, 0, 0, 0x60, 0xEA, 0, 0}));
    EXPECT_EQ(fs::status("real.inf").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// Makes writes that would grow a file past `bytes` fall short, as on a full disk.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        savedSignal_ = signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, savedSignal_);
    }

private:
    rlimit saved_{};
    sighandler_t savedSignal_;
};

TEST_F(SettingsFileTest, FailedWriteLeavesThePreviousFileExactlyAsItWas) {
    struct Case {
        const char* name;
        bool previousExists;
        std::function<void()> write;
        const char* message;
    };
    const Case cases[] = {
        {"short write over a file", true,
         [] {
             ScopedFileSizeLimit limit(5);
             WriteSettingsInterval(120000);
         },
         "Disk full"},
        {"no room at all over a file", true,
         [] {
             ScopedFileSizeLimit limit(0);
             WriteSettingsInterval(120000);
         },
         "I/O error 223"},
        {"short write, no file before", false,
         [] {
             ScopedFileSizeLimit limit(5);
             WriteSettingsInterval(120000);
         },
         "Disk full"},
        {"directory not writable", true,
         [this] {
             fs::permissions(dir_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
             test_support::ScopedFileRightsDrop asAnyUser;
             WriteSettingsInterval(120000);
         },
         "File access denied"},
    };
    const Bytes previous{7, 7, 7, 7, 0x60, 0xEA, 0x00, 0x00, 7};
    for (const Case& c : cases) {
        fs::remove(kSettingsFileName);
        if (c.previousExists) {
            Put(previous);
        }
        EXPECT_EQ(ErrorOf(c.write), c.message) << c.name;
        fs::permissions(dir_.Path(), fs::perms::owner_all);
        if (c.previousExists) {
            EXPECT_EQ(Contents(), previous) << c.name;
            EXPECT_EQ(Entries(), std::vector<std::string>{kSettingsFileName}) << c.name;
        } else {
            EXPECT_TRUE(Entries().empty()) << c.name;
        }
    }
}

TEST_F(SettingsFileTest, ArbitraryContentsReadAsBytesFourToSevenOrFailCleanly) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 1000; ++round) {
        const std::size_t size = random() % 40;
        Bytes bytes(size);
        for (unsigned char& b : bytes) {
            b = static_cast<unsigned char>(random());
        }
        Put(bytes);
        if (size < 8) {
            ASSERT_EQ(ErrorOf([] { ReadSettingsInterval(); }), "Read beyond end of file") << size;
        } else {
            const std::uint32_t expected = bytes[4] | bytes[5] << 8 | bytes[6] << 16 |
                                           static_cast<std::uint32_t>(bytes[7]) << 24;
            ASSERT_EQ(ReadSettingsInterval(), expected) << round;
        }
    }
}

TEST_F(SettingsFileTest, EntriesThatAreNoRegularFileFailWithoutHanging) {
    struct Case {
        const char* name;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"named pipe", [] { ASSERT_EQ(mkfifo(kSettingsFileName, 0644), 0); }},
        {"link loop", [] { fs::create_symlink(kSettingsFileName, kSettingsFileName); }},
        {"dangling link", [] { fs::create_symlink("nowhere.inf", kSettingsFileName); }},
    };
    for (const Case& c : cases) {
        fs::remove(kSettingsFileName);
        c.make();
        EXPECT_NE(ErrorOf([] { ReadSettingsInterval(); }), "") << c.name;
    }
}

}  // namespace
