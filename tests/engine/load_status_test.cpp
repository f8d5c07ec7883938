// Run: ctest --test-dir build -R LoadStatus
// Each way a file can fail to load: the status, what is left loaded, and the
// reason the display hands on (the words the dump tool prints).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <set>

#include "app/limits.h"
#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::Bytes;

// A regular file that claims more bytes than a read gives, under a box name.
std::string ShrinkingFile(const std::string& dir) {
    for (const char* target : {"/sys/devices/system/cpu/online", "/sys/kernel/profiling"}) {
        struct stat info {};
        if (::stat(target, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 64 &&
            ::access(target, R_OK) == 0) {
            const std::string path = dir + "sys.box";
            std::filesystem::create_symlink(target, path);
            return path;
        }
    }
    return {};
}

struct Case {
    const char* name;
    LoadStatus status;
    int error;        // the errno expected with it, 0 for none
    bool dataLoaded;  // whether a data block is left loaded
    // Makes the file in `dir` and returns its path; empty skips the case.
    std::function<std::string(const std::string& dir)> make;
};

std::string Written(const std::string& path, const Bytes& bytes) {
    testing::WriteFile(path, bytes);
    return path;
}

// A box of `size` bytes whose cover block runs to the file's end.
std::string SparseBox(const std::string& path, uint64_t size) {
    testing::BoxSpec box;
    box.dataOffset = static_cast<uint32_t>(size);
    Written(path, testing::BuildBox(box));
    std::error_code ec;
    std::filesystem::resize_file(path, size, ec);
    return ec ? std::string() : path;
}

const Case kCases[] = {
    {"box", LoadStatus::kLoaded, 0, true,
     [](const std::string& dir) {
         testing::BoxSpec box;
         box.cover = testing::ToBytes("COVER");
         box.data = testing::Token(0x10, "T");
         return Written(dir + "gut.box", testing::BuildBox(box));
     }},
    // No token to walk: the viewer's data block stays null, as for none.
    {"data inflating to nothing", LoadStatus::kLoaded, 0, false,
     [](const std::string& dir) {
         testing::BoxSpec box;
         box.flags = BOX_DATA_COMPRESSED;
         box.data = testing::Compress({});
         return Written(dir + "nichts.box", testing::BuildBox(box));
     }},
    {"header only", LoadStatus::kLoaded, 0, false,
     [](const std::string& dir) { return Written(dir + "leer.box", testing::BuildBox({})); }},
    {"missing", LoadStatus::kNotFound, 0, false,
     [](const std::string& dir) { return dir + "fehlt.box"; }},
    {"folder", LoadStatus::kNotRegularFile, 0, false,
     [](const std::string& dir) {
         std::filesystem::create_directory(dir + "ordner.box");
         return dir + "ordner.box";
     }},
    {"fifo", LoadStatus::kNotRegularFile, 0, false,
     [](const std::string& dir) {
         const std::string path = dir + "rohr.box";
         return ::mkfifo(path.c_str(), 0600) == 0 ? path : std::string();
     }},
    {"link loop", LoadStatus::kNotReadable, ELOOP, false,
     [](const std::string& dir) {
         std::filesystem::create_symlink(dir + "b.box", dir + "a.box");
         std::filesystem::create_symlink(dir + "a.box", dir + "b.box");
         return dir + "a.box";
     }},
    {"no rights", LoadStatus::kNotReadable, EACCES, false,
     [](const std::string& dir) {
         const std::string path = Written(dir + "zu.box", testing::BuildBox({}));
         ::chmod(path.c_str(), 0);
         // The superuser reads it anyway.
         return ::geteuid() == 0 ? std::string() : path;
     }},
    {"one byte short", LoadStatus::kTooShort, 0, false,
     [](const std::string& dir) {
         Bytes header = testing::BuildBox({});
         header.pop_back();
         return Written(dir + "kurz.box", header);
     }},
    // Sparse files: the size alone must turn the larger one away, before
    // any read.
    {"at the size limit", LoadStatus::kLoaded, 0, false,
     [](const std::string& dir) { return SparseBox(dir + "grenze.box", kMaxBoxFileBytes); }},
    {"one byte over the limit", LoadStatus::kTooLarge, 0, false,
     [](const std::string& dir) { return SparseBox(dir + "gross.box", kMaxBoxFileBytes + 1); }},
    // The magic is judged before the size: a huge file that is no box is
    // told as such.
    {"2 GiB, wrong magic", LoadStatus::kWrongMagic, 0, false,
     [](const std::string& dir) {
         testing::BoxSpec box;
         box.magic = "MIRAX3.0";
         box.data = testing::Token(0x10, "T");
         const std::string path = Written(dir + "alt.box", testing::BuildBox(box));
         std::error_code ec;
         std::filesystem::resize_file(path, uint64_t{1} << 31, ec);
         return ec ? std::string() : path;
     }},
    {"shorter than it claims", LoadStatus::kReadError, 0, false, ShrinkingFile},
};

TEST(LoadStatus, EachFailureAndWhatStaysLoaded) {
    testing::TempDir temp;
    ASSERT_TRUE(temp.ok());
    std::set<LoadStatus> statuses;
    std::set<std::string> reasons;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.make(temp.path());
        if (path.empty()) {
            continue;  // this system cannot make the case
        }
        const LoadedBox box = LoadBox(path);
        const LoadResult result = box.Result();
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.error, c.error);
        // A header is kept exactly when the viewer shows the file; blocks
        // only for the right magic.
        EXPECT_EQ(box.Header() != nullptr, result.HeaderLoaded());
        EXPECT_EQ(box.Data().Present(), c.dataLoaded);

        CRecordRenderer renderer;
        const BoxDisplay display = ShowBoxFile(box, renderer, nullptr);
        EXPECT_EQ(display.load.status, c.status);
        EXPECT_EQ(display.shown, result.HeaderLoaded());
        const std::string reason = DisplayProblem(display);
        EXPECT_EQ(reason, LoadReason(result));
        EXPECT_EQ(reason.empty(), c.status == LoadStatus::kLoaded);
        if (!reason.empty()) {
            // One status, one text: a user can tell the cases apart.
            statuses.insert(c.status);
            reasons.insert(LoadReason({c.status}));
        }
    }
    EXPECT_EQ(reasons.size(), statuses.size());
}

}  // namespace
}  // namespace quorvel
