#include "engine/SetNames.h"
#include "EngineTestSupport.h"

using namespace std::string_literals;

// A set named from a whole file is named back to that file by unite and the stub.
TEST(SetNames, NamesAreInverseAndTheStubIsFoundBesideTheProgramOrInTheLibrary) {
    const struct {
        const char* whole;
        const char* stored; // the extension the signature keeps
        const char* extension;
        bool keep;
        const char* piece;
    } cases[] = {
        {"/in/report.doc", ".doc", ".vrn", false, "/out/report.vrn"},
        {"/in/report.doc", ".doc", ".vrn", true, "/out/report.doc.vrn"},
        {"/in/x.c.c", ".c", ".exe", false, "/out/x.c.exe"},
        {"/in/backup.tar.tar", ".tar", ".001", false, "/out/backup.tar.001"},
        {"/in/README", "", ".dos", false, "/out/README.dos"},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.whole);
        const std::string piece = FirstPiecePath("/out", item.whole, item.extension, item.keep);
        EXPECT_EQ(piece, item.piece);
        EXPECT_EQ(WholeFilePathFor(piece, item.stored, item.keep).value_or("refused"),
                  "/out/" + std::string(item.whole).substr(4));
    }
    EXPECT_EQ(FirstPiecePath("", "a.dat", ".vrn", false), "a.vrn");

    // Stored extensions that leave the folder or name nothing are refused.
    for (const std::string& extension : {"/../x"s, ".a/b"s, "\0"s, "."s})
        EXPECT_FALSE(WholeFilePathFor("/out/.vrn", extension, false)) << extension;

    // The stub is found beside the program or in the library folder.
    TScopedXdgHome home;
    TTempFolder folder;
    EXPECT_EQ(FindStub(folder.Path().string()).state, TStubState::ssMissing);
    const std::string stub = folder / StubName;
    WriteFileBytes(stub, PatternBytes(MinimumStubSize, 3)); // long enough, but no program
    EXPECT_EQ(FindStub(folder.Path().string()).state, TStubState::ssDamaged);
    WriteFileBytes(stub, Elf32Image(1000)); // a program, but too short to be ours
    EXPECT_EQ(FindStub(folder.Path().string()).state, TStubState::ssDamaged);
    WriteFileBytes(stub, Elf32Image(MinimumStubSize));
    const TStubLookup found = FindStub(folder.Path().string());
    EXPECT_EQ(std::tuple(found.state, found.path, found.size),
              std::tuple(TStubState::ssFound, stub, MinimumStubSize));

    // Installed stubs lie in the library folder and must be of their kind.
    const std::filesystem::path bin = folder.Path() / "bin";
    const std::filesystem::path library = folder.Path() / "lib" / "varnsplit";
    std::filesystem::create_directories(bin);
    // Without the library folder a missing stub belongs beside the program.
    EXPECT_EQ(FindStub(bin.string()).path, (bin / StubName).string());
    std::filesystem::create_directories(library);
    EXPECT_EQ(FindStub(bin.string(), TStubKind::skWindows).path,
              (library / WindowsStubName).string());
    EXPECT_EQ(FindStub(bin.string() + "/", TStubKind::skWindows).path,
              (library / WindowsStubName).string());

    WriteFileBytes(library / StubName, Elf32Image(MinimumStubSize));
    EXPECT_EQ(FindStub(bin.string()).state, TStubState::ssFound);
    EXPECT_EQ(FindStub(bin.string(), TStubKind::skWindows).state, TStubState::ssMissing);
    // A Linux image under the Windows stub's name starts no Windows set.
    WriteFileBytes(library / WindowsStubName, Elf32Image(MinimumStubSize));
    EXPECT_EQ(FindStub(bin.string(), TStubKind::skWindows).state, TStubState::ssDamaged);
    // One beside the program (a build tree) comes first.
    WriteFileBytes(bin / StubName, Elf32Image(MinimumStubSize + 1));
    EXPECT_EQ(FindStub(bin.string()).size, MinimumStubSize + 1);
}
