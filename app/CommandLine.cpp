#include "app/CommandLine.h"

#include "texts/EngineTexts.h"
#include "texts/Texts.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <string_view>

namespace {

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The switches, the forms that take each, and where each lands in the request.
struct TSwitch {
    const char* Word;
    bool ForSplit;
    bool ForUnite;
    bool TCommandLineRequest::*Flag;
};

constexpr TSwitch Switches[] = {
    {"ver100", true, false, &TCommandLineRequest::Version100},
    {"dos", true, false, &TCommandLineRequest::DOSCompatible},
    {"wsp", true, false, &TCommandLineRequest::WinSplitCompatible},
    {"bat", true, false, &TCommandLineRequest::MakeBAT},
    {"self", true, false, &TCommandLineRequest::MakeSUB},
    {"keepext", true, true, &TCommandLineRequest::KeepOriginalExt},
    {"del", false, true, &TCommandLineRequest::DelAfterUnite},
};

const TSwitch* FindSwitch(const std::string& argument) {
    if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '/'))
        return nullptr;
    const std::string word = LowerCase(argument.substr(1));
    for (const TSwitch& candidate : Switches)
        if (word == candidate.Word)
            return &candidate;
    return nullptr;
}

struct TSwitchUse {
    const TSwitch* Switch;
    std::string Spelling; // as typed, for messages
};

// Pairs of switches whose sets cannot be made at once. "ver100" with "self"
// would write a version 1.0 header where the stub belongs, so it is refused too.
constexpr const char* Conflicts[][2] = {
    {"dos", "wsp"},
    {"dos", "self"},
    {"wsp", "self"},
    {"ver100", "self"},
};

// "-stub=linux" or "-stub=windows": which system a self-joining set starts on.
// Nothing when `argument` is no such switch; the spelling of the value is
// checked by the caller.
std::optional<std::string> StubChoice(const std::string& argument) {
    constexpr std::string_view Word = "stub=";
    if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '/'))
        return std::nullopt;
    const std::string lower = LowerCase(argument.substr(1));
    if (lower.compare(0, Word.size(), Word) != 0)
        return std::nullopt;
    return lower.substr(Word.size());
}

TCommandLineParse Failure(std::string error) {
    TCommandLineParse parse;
    parse.Error = std::move(error);
    return parse;
}

} // namespace

bool SizeFromText(const std::string& text, int64_t& size) {
    if (text.empty())
        return false;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const int digit = c - '0';
        if (value > (std::numeric_limits<int64_t>::max() - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    size = value;
    return true;
}

TCommandLineParse ParseCommandLine(const std::vector<std::string>& arguments) {
    TCommandLineParse parse;
    TCommandLineRequest& request = parse.Request;

    for (const std::string& argument : arguments) {
        if (argument == "--")
            break;
        if (argument == "--help" || argument == "-h") {
            request.Form = TCommandForm::cfHelp;
            return parse;
        }
    }
    // With fewer than two arguments the program would open its window, whatever
    // the one argument holds.
    if (arguments.size() < 2)
        return parse;

    std::vector<std::string> positional;
    std::vector<TSwitchUse> switches;
    std::string stubSwitch; // as typed
    bool switchesEnded = false;
    for (const std::string& argument : arguments) {
        if (!switchesEnded && argument == "--") {
            switchesEnded = true;
            continue;
        }
        if (!switchesEnded) {
            if (const TSwitch* found = FindSwitch(argument)) {
                switches.push_back({found, argument});
                continue;
            }
            if (const std::optional<std::string> choice = StubChoice(argument)) {
                if (*choice != "linux" && *choice != "windows")
                    return Failure(FormatText(Texts::CliBadStubChoice, {argument}));
                request.WindowsStub = *choice == "windows";
                stubSwitch = argument;
                continue;
            }
            // "/" followed by anything but a switch word is an absolute path.
            if (argument.size() > 1 && argument[0] == '-')
                return Failure(FormatText(Texts::CliUnknownSwitch, {argument}));
        }
        positional.push_back(argument);
    }

    if (positional.empty())
        return Failure(Texts::CliNoCommand);
    const std::string& formWord = positional.front();
    const std::string form = LowerCase(formWord);
    std::size_t wanted = 0;
    if (form == "/split") {
        request.Form = TCommandForm::cfSplit;
        wanted = 4;
    } else if (form == "/unite") {
        request.Form = TCommandForm::cfUnite;
        wanted = 3;
    } else {
        return Failure(FormatText(Texts::CliUnknownForm, {formWord}));
    }

    for (const TSwitchUse& use : switches) {
        const bool fits =
            request.Form == TCommandForm::cfSplit ? use.Switch->ForSplit : use.Switch->ForUnite;
        if (!fits)
            return Failure(FormatText(Texts::CliSwitchNotForForm, {use.Spelling, formWord}));
        request.*(use.Switch->Flag) = true;
    }
    for (const auto& conflict : Conflicts) {
        auto spellingOf = [&](const char* word) -> const std::string* {
            for (const TSwitchUse& use : switches)
                if (std::string(use.Switch->Word) == word)
                    return &use.Spelling;
            return nullptr;
        };
        const std::string* first = spellingOf(conflict[0]);
        const std::string* second = spellingOf(conflict[1]);
        if (first != nullptr && second != nullptr)
            return Failure(FormatText(Texts::CliConflictingSwitches, {*first, *second}));
    }
    if (request.MakeBAT && !request.DOSCompatible && !request.WinSplitCompatible)
        return Failure(Texts::CliBatchNeedsMode);
    if (!stubSwitch.empty() && request.Form != TCommandForm::cfSplit)
        return Failure(FormatText(Texts::CliSwitchNotForForm, {stubSwitch, formWord}));
    if (!stubSwitch.empty() && !request.MakeSUB)
        return Failure(FormatText(Texts::CliStubNeedsSelf, {stubSwitch}));

    if (positional.size() < wanted)
        return Failure(FormatText(Texts::CliTooFewArguments, {formWord}));
    if (positional.size() > wanted)
        return Failure(FormatText(Texts::CliExtraArgument, {positional[wanted]}));

    request.FileName = positional[1];
    request.Folder = positional[2];
    // An empty folder would have meant the root of the current drive; writing
    // into "/" is never what was meant here.
    if (request.Folder.empty())
        return Failure(Texts::CliEmptyFolder);
    if (request.Form == TCommandForm::cfSplit && !SizeFromText(positional[3], request.Size))
        return Failure(FormatText(Texts::CliBadSize, {positional[3]}));
    return parse;
}
