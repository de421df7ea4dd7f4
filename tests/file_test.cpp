// The file layer: exclusive opens, no truncation before the lock, no links
// followed on create, and the fault seam.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file.h"
#include "platform/file_faults.h"
#include "platform/large_pages.h"
#include "tests/test_support.h"

namespace {

TEST(FileLayer, ExclusiveOpenIsRefusedWhileHeldAndTruncatesNothing) {
    ScratchDir dir;
    const unsigned create = CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive;
    CFile first;
    ASSERT_TRUE(first.Open(dir.File("out.txt"), create));
    first.Write("held data", 9);

    CFile second;
    CFileException error(CFileException::none, 0, "");
    EXPECT_FALSE(second.Open(dir.File("out.txt"), create, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(dir.Read("out.txt"), "held data") << "a refused open must not empty the file";

    first.Close();
    ASSERT_TRUE(second.Open(dir.File("out.txt"), create));
    EXPECT_EQ(dir.Read("out.txt"), "") << "once free, create empties an existing file";
    EXPECT_TRUE(second.OpenedRegularFile());
}

TEST(FileLayer, CreateNeverFollowsALinkAndRefusesDirectories) {
    ScratchDir dir;
    dir.Write("target.txt", "untouched");
    ASSERT_EQ(::symlink(dir.File("target.txt").c_str(), dir.File("link.txt").c_str()), 0);
    CFile file;
    EXPECT_FALSE(file.Open(dir.File("link.txt"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(dir.Read("target.txt"), "untouched");

    ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
    CFileException error(CFileException::none, 0, "");
    EXPECT_FALSE(file.Open(dir.File("folder"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
}

TEST(FileLayer, FifoOpensWithoutBlockingAndIsNotARegularFile) {
    ScratchDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    CFile reader;
    ASSERT_TRUE(reader.Open(dir.File("pipe"), CFile::modeRead | CFile::shareDenyNone));
    EXPECT_FALSE(reader.OpenedRegularFile());
}

TEST(FileLayer, FaultSeamFailsTheChosenOperation) {
    ScratchDir dir;
    dir.Write("data.bin", "abcdef");
    CFile file;
    ASSERT_TRUE(file.Open(dir.File("data.bin"), CFile::modeReadWrite));
    SetFileFaultHook([](FileOp op, const std::string& path) {
        return op == FileOp::Write && path.find("data.bin") != std::string::npos;
    });
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    try {
        file.Write("x", 1);
        ADD_FAILURE() << "the write should have failed";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
    }
    ClearFileFaultHook();
    EXPECT_EQ(file.Seek(0, CFile::end), 6);
    EXPECT_THROW(file.Seek(-10, CFile::current), CFileException);
    EXPECT_THROW(CFile::Rename(dir.File("missing"), dir.File("other")), CFileException);
    EXPECT_THROW(CFile::Remove(dir.File("missing")), CFileException);
}

TEST(FileLayer, AbortAndRemoveRemovesOnlyOurOwnFileByItsName) {
    ScratchDir dir;
    const unsigned create = CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive;
    CFile ours;
    ASSERT_TRUE(ours.Open(dir.File("out.txt"), create));
    ours.Write("partial", 7);
    ours.Close();  // even after a close, the file is still ours to remove
    ours.AbortAndRemove();
    EXPECT_FALSE(dir.Exists("out.txt"));

    CFile replaced;
    ASSERT_TRUE(replaced.Open(dir.File("out.txt"), create));
    dir.Write("other.txt", "someone else's");
    ASSERT_EQ(::rename(dir.File("other.txt").c_str(), dir.File("out.txt").c_str()), 0);
    replaced.AbortAndRemove();
    EXPECT_EQ(dir.Read("out.txt"), "someone else's") << "a file put in our file's place stays";

    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    CFile pipe;
    ASSERT_TRUE(pipe.Open(dir.File("pipe"), CFile::modeRead | CFile::shareDenyNone));
    pipe.AbortAndRemove();
    EXPECT_TRUE(dir.Exists("pipe")) << "a pipe is never removed";
}

// The large-page block is zero-filled, starts on a large page, and belongs to
// one owner at a time.
TEST(FileLayer, LargePageBlockIsZeroedAlignedAndMovesWhole) {
    CLargePageBlock block;
    EXPECT_EQ(block.Data(), nullptr);
    constexpr size_t kBytes = (3u << 20) + 5;
    ASSERT_TRUE(block.Allocate(kBytes));
    char* data = block.Data();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % (2u << 20), 0u);
    EXPECT_EQ(data[0], 0);
    EXPECT_EQ(data[kBytes - 1], 0);
    data[0] = 'a';
    data[kBytes - 1] = 'z';
    CLargePageBlock moved(std::move(block));
    EXPECT_EQ(block.Data(), nullptr);
    EXPECT_EQ(moved.Data(), data);
    EXPECT_EQ(moved.Data()[kBytes - 1], 'z');
    CLargePageBlock other;
    ASSERT_TRUE(other.Allocate(0));
    other = std::move(moved);
    EXPECT_EQ(other.Data(), data);
    EXPECT_EQ(other.Data()[0], 'a');
    EXPECT_FALSE(other.Allocate(~size_t{0}));
    EXPECT_EQ(other.Data(), nullptr);
}

}  // namespace
