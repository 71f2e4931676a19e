#include "engine/AtomicFile.h"
#include "EngineTestSupport.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

using TKind = TAtomicFile::TKind;

class AtomicFileTest : public ::testing::TestWithParam<TKind> {
protected:
    void Write(TAtomicFile& file, const std::string& bytes) {
        ASSERT_EQ(write(file.Fd(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    TScopedXdgHome home;
    TTempFolder folder;
};

} // namespace

// Nothing shows under the final name before the commit, a discarded file
// leaves no trace, and a commit replaces a file only when asked.
TEST_P(AtomicFileTest, AppearsOnlyWhenCommitted) {
    const std::string finalPath = folder / (std::string(251, 'n') + ".dat");
    {
        TAtomicFile discarded;
        ASSERT_EQ(discarded.Create(finalPath, GetParam()), 0);
        Write(discarded, "half");
        EXPECT_EQ(FolderNames(folder.Path()).size(), GetParam() == TKind::kNamed ? 1u : 0u);
    }
    EXPECT_TRUE(FolderNames(folder.Path()).empty());

    const mode_t mask = umask(022);
    TAtomicFile file;
    ASSERT_EQ(file.Create(finalPath, GetParam()), 0);
    Write(file, "whole");
    ASSERT_EQ(file.Commit(false), 0);
    umask(mask);
    EXPECT_EQ(ReadFileBytes(finalPath), "whole");
    EXPECT_EQ(FolderNames(folder.Path()).size(), 1u);
    struct stat info {};
    ASSERT_EQ(stat(finalPath.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    // The committed file is replaced only when asked.
    for (bool replace : {false, true}) {
        TAtomicFile next;
        ASSERT_EQ(next.Create(finalPath, GetParam()), 0);
        Write(next, "new");
        EXPECT_EQ(next.Commit(replace), replace ? 0 : EEXIST);
        if (!replace)
            next.Discard();
        EXPECT_EQ(ReadFileBytes(finalPath), replace ? "new" : "whole");
        EXPECT_EQ(FolderNames(folder.Path()).size(), 1u);
    }

    TAtomicFile nowhere;
    EXPECT_EQ(nowhere.Create(folder / "no/such/out.dat", GetParam()), ENOENT);
}

INSTANTIATE_TEST_SUITE_P(BothKinds, AtomicFileTest,
                         ::testing::Values(TKind::kUnnamedWherePossible, TKind::kNamed));
