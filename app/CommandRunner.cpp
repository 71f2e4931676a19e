#include "app/CommandRunner.h"

#include "app/CommandLine.h"
#include "app/ProgressLine.h"
#include "engine/FileUtils.h"
#include "engine/SelfJoin.h"
#include "engine/SetNames.h"
#include "engine/SplitPlan.h"
#include "engine/VarnSplit.h"
#include "texts/ChecksumTexts.h"
#include "texts/EngineTexts.h"
#include "texts/Texts.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

namespace fs = std::filesystem;

volatile std::sig_atomic_t stopRequested = 0;

// One command-line operation: the engine's reporter (a reported message means
// the run failed) and the writer of every line the user sees on standard error.
class TCommandLineRun : public IEngineReporter {
public:
    explicit TCommandLineRun(const TCommandLineContext& context)
        : m_context(context), m_progress(context.Err, context.ShowProgress) {}

    void Report(TEngineMessage message, const std::string& path) override {
        Fail(EngineMessageText(message, path));
    }

    void Fail(const std::string& text) {
        Say(text);
        m_failed = true;
    }

    void Say(const std::string& text) {
        m_progress.Finish();
        m_context.Err << Texts::CliProgramName << ": " << text << '\n';
        m_context.Err.flush();
    }

    bool Failed() const { return m_failed; }

    int Split(const TCommandLineRequest& request);
    int Unite(const TCommandLineRequest& request);
    int Verify(const TCommandLineRequest& request);

private:
    // Runs an engine operation and turns whatever escapes it into a message.
    template <typename TOperation> int Guarded(TOperation operation);
    void Attach(TVarnSplit& engine);
    // Exit status 0 promises the whole job was done: an operation that ended
    // early without a message of its own still counts as failed.
    void RequireCompleted(const TVarnSplit& engine) {
        if (!engine.Completed() && !m_failed)
            Fail(StopRequested() ? Texts::CliInterrupted : Texts::CliNotCompleted);
    }

    const TCommandLineContext& m_context;
    TProgressLine m_progress;
    bool m_failed = false;
};

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

template <typename TOperation> int TCommandLineRun::Guarded(TOperation operation) {
    try {
        operation();
    } catch (const EEngineError& error) {
        Fail(EngineFaultText(error));
    } catch (const std::exception& error) {
        Fail(std::string(Texts::FaultUnknown) + ": " + error.what());
    }
    m_progress.Finish();
    return m_failed ? ExitFailed : ExitSuccess;
}

void TCommandLineRun::Attach(TVarnSplit& engine) {
    // Without a handler the engine writes neither the information file nor the
    // batch file; the command line wants both wherever the engine computed.
    engine.OnNeedDisk = [this](TVarnSplit& sender, int32_t diskId, int32_t numOfDisks, std::string&,
                               bool& proceed) {
        if (StopRequested()) {
            sender.SetStop(true);
            proceed = false;
            return;
        }
        if (diskId == InfoFileDiskID || diskId == BatchFileDiskID || diskId == ChecksumFileDiskID) {
            proceed = true;
            return;
        }
        m_progress.SetPiece(diskId, numOfDisks);
    };
    engine.OnProgress = [this](TVarnSplit& sender, uint16_t percentDone) {
        if (StopRequested())
            sender.SetStop(true);
        m_progress.SetPercent(percentDone);
    };
}

int TCommandLineRun::Split(const TCommandLineRequest& request) {
    TVarnSplit engine(this);
    Attach(engine);

    TStubLookup stub;
    if (request.MakeSUB) {
        stub = FindStub(m_context.ProgramFolder,
                        request.WindowsStub ? TStubKind::skWindows : TStubKind::skLinux);
        if (stub.state != TStubState::ssFound) {
            const char* text = stub.state == TStubState::ssDamaged ? Texts::CliStubDamaged
                               : request.WindowsStub               ? Texts::CliWindowsStubMissing
                                                                   : Texts::CliStubMissing;
            Fail(FormatText(text, {stub.path}));
            return ExitFailed;
        }
    }

    int64_t size = request.Size;
    if (request.PieceCount > 0) {
        TSplitPlanInput input;
        input.wholeSize = FileSizeOf(request.FileName);
        input.signedSet = !request.DOSCompatible && !request.WinSplitCompatible;
        input.version100 = request.Version100;
        input.extension = ExtensionOf(request.FileName);
        input.stubLength = request.MakeSUB ? StubLengthOf(stub.path) : 0;
        const std::optional<int64_t> sized =
            BlockSizeForPieceCount(input, static_cast<uint16_t>(request.PieceCount));
        if (!sized) {
            Fail(FormatText(Texts::CliCountNotPossible,
                            {request.FileName, std::to_string(request.PieceCount)}));
            return ExitFailed;
        }
        size = *sized;
    }

    return Guarded([&] {
        engine.SetFileName(request.FileName);
        engine.SetSize(size);
        engine.SetMakeChecksums(!request.NoChecksums);
        // The buffer stays at the engine's default: large reads are what make the
        // copy fast, and the designed 2048 bytes are not observable.
        engine.SetVersion100(request.Version100);
        engine.SetDOSCompatible(request.DOSCompatible);
        engine.SetWinSplitCompatible(request.WinSplitCompatible);
        engine.SetMakeBAT(request.MakeBAT);
        engine.SetMakeSUB(request.MakeSUB);
        engine.SetStubFileName(stub.path);
        engine.SetStubSize(stub.size);
        // The first piece goes into the target folder, named by the mode the
        // flags above give.
        engine.SetSplitFileName(FirstPiecePath(request.Folder, request.FileName,
                                               engine.FirstPieceExtension(),
                                               request.KeepOriginalExt));
        engine.SetKeepOriginalExt(request.KeepOriginalExt);
        engine.Split();
        RequireCompleted(engine);
    });
}

int TCommandLineRun::Unite(const TCommandLineRequest& request) {
    TVarnSplit engine(this);
    Attach(engine);

    const std::string name = FileNamePart(request.FileName);
    return Guarded([&] {
        // A self-joining first piece starts with the stub that made it, whose
        // length is read from the piece itself, so a set made by another build of
        // the stub still unites.
        if (LowerCase(ExtensionOf(name)) == ".exe")
            engine.SetStubSize(StubLengthOf(request.FileName));
        engine.ReadSignature(request.FileName);
        // The extension comes from the piece itself: one that would lead out of
        // the target folder (a "/" in it) or name no file is refused.
        const std::optional<std::string> wholeName =
            WholeFilePathFor(name, engine.OriginalExt(), request.KeepOriginalExt);
        if (!wholeName) {
            Fail(FormatText(Texts::CliBadStoredExtension, {request.FileName}));
            return;
        }
        engine.SetSplitFileName(request.FileName);
        engine.SetFileName(AddTrailingSeparator(request.Folder) + *wholeName);
        engine.SetDelAfterUnite(request.DelAfterUnite);
        engine.Unite();
        RequireCompleted(engine);
        if (engine.ChecksumCheck() == TChecksumCheck::ccNoChecksumFile)
            Say(FormatText(Texts::UniteNotVerified, {engine.ChecksumFileName()}));
        // The whole file is good, but a piece left behind is not what "-del"
        // promised, so the run does not count as a success.
        for (const std::string& file : engine.UndeletedFiles())
            Fail(FormatText(Texts::CliNotDeleted, {file}));
    });
}

int TCommandLineRun::Verify(const TCommandLineRequest& request) {
    TVarnSplit engine(this);
    engine.OnProgress = [this](TVarnSplit& sender, uint16_t percentDone) {
        if (StopRequested())
            sender.SetStop(true);
        m_progress.SetPercent(percentDone);
    };
    const int status = Guarded([&] {
        if (LowerCase(ExtensionOf(FileNamePart(request.FileName))) == ".exe")
            engine.SetStubSize(StubLengthOf(request.FileName));
        engine.SetSplitFileName(request.FileName);
        engine.Verify();
        RequireCompleted(engine);
    });
    if (status != ExitSuccess)
        return status;
    const TSetCheck& check = engine.SetCheck();
    for (const TPieceCheck& piece : check.pieces)
        m_context.Out << PieceCheckText(piece) << '\n';
    m_context.Out << SetCheckSummaryText(check);
    m_context.Out.flush();
    return check.Intact() ? ExitSuccess : ExitFailed;
}

} // namespace

void RequestStop() {
    stopRequested = 1;
}

bool StopRequested() {
    return stopRequested != 0;
}

void ClearStopRequest() {
    stopRequested = 0;
}

int RunCommandLine(const std::vector<std::string>& arguments, const TCommandLineContext& context) {
    const TCommandLineParse parse = ParseCommandLine(arguments);
    TCommandLineRun run(context);
    if (!parse.Ok()) {
        run.Say(parse.Error);
        context.Err << Texts::CliSeeHelp << '\n';
        return ExitUsage;
    }
    const TCommandLineRequest& request = parse.Request;
    switch (request.Form) {
    case TCommandForm::cfHelp:
        context.Out << Texts::CliUsage;
        return ExitSuccess;
    case TCommandForm::cfWindow:
        // The program starts the window before it gets here, so this runner
        // only ever sees a window start from a caller that has no window: it
        // tells how the command line is used.
        context.Err << Texts::CliUsage;
        return ExitUsage;
    case TCommandForm::cfSplit:
    case TCommandForm::cfUnite:
    case TCommandForm::cfVerify:
        break;
    }

    std::error_code error;
    const fs::file_status status = fs::status(request.FileName, error);
    if (!fs::exists(status)) {
        run.Say(FormatText(Texts::CliFileMissing, {request.FileName}));
        return ExitUsage;
    }
    if (!fs::is_regular_file(status)) {
        run.Say(FormatText(Texts::CliNotAFile, {request.FileName}));
        return ExitUsage;
    }
    switch (request.Form) {
    case TCommandForm::cfSplit:
        return run.Split(request);
    case TCommandForm::cfVerify:
        return run.Verify(request);
    default:
        return run.Unite(request);
    }
}
