#include "app/CommandLine.h"

#include "texts/ChecksumTexts.h"
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
    {"nosum", true, false, &TCommandLineRequest::NoChecksums},
};

// "-n" takes the argument after it as its value.
bool IsCountSwitch(const std::string& argument) {
    return argument.size() == 2 && (argument[0] == '-' || argument[0] == '/') &&
           (argument[1] == 'n' || argument[1] == 'N');
}

struct TUnit {
    const char* Suffix; // lower case
    int64_t Bytes;
};

constexpr TUnit Units[] = {
    {"k", 1024LL},  {"m", 1024LL * 1024},  {"g", 1024LL * 1024 * 1024},
    {"kb", 1000LL}, {"mb", 1000LL * 1000}, {"gb", 1000LL * 1000 * 1000},
};

constexpr int64_t FloppyBytes = 1457664;

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

bool BlockSizeFromText(const std::string& text, int64_t& size) {
    if (SizeFromText(text, size))
        return true;
    const std::string lower = LowerCase(text);
    if (lower == "floppy") {
        size = FloppyBytes;
        return true;
    }
    std::size_t digitsEnd = 0;
    while (digitsEnd < lower.size() && lower[digitsEnd] >= '0' && lower[digitsEnd] <= '9')
        ++digitsEnd;
    std::size_t numberEnd = digitsEnd;
    std::string fraction;
    if (numberEnd < lower.size() && lower[numberEnd] == '.') {
        ++numberEnd;
        while (numberEnd < lower.size() && lower[numberEnd] >= '0' && lower[numberEnd] <= '9')
            fraction += lower[numberEnd++];
        if (fraction.empty())
            return false;
    }
    int64_t whole = 0;
    if (digitsEnd == 0 || !SizeFromText(lower.substr(0, digitsEnd), whole))
        return false;
    const std::string suffix = lower.substr(numberEnd);
    const TUnit* unit = nullptr;
    for (const TUnit& candidate : Units)
        if (suffix == candidate.Suffix)
            unit = &candidate;
    if (unit == nullptr)
        return false;
    // floor(0.d1d2...dn * unit), digit by digit from the last: with integer a
    // and real x, floor((a + x) / 10) = floor((a + floor(x)) / 10), and every
    // step stays below 10 * unit, so no digit count can overflow.
    int64_t fractionBytes = 0;
    for (auto digit = fraction.rbegin(); digit != fraction.rend(); ++digit)
        fractionBytes = ((*digit - '0') * unit->Bytes + fractionBytes) / 10;
    if (whole > (std::numeric_limits<int64_t>::max() - fractionBytes) / unit->Bytes)
        return false;
    size = whole * unit->Bytes + fractionBytes;
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
    const std::string* countSwitch = nullptr;
    const std::string* countText = nullptr;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (!switchesEnded && argument == "--") {
            switchesEnded = true;
            continue;
        }
        if (!switchesEnded && IsCountSwitch(argument)) {
            if (index + 1 == arguments.size())
                return Failure(FormatText(Texts::CliCountMissing, {argument}));
            countSwitch = &argument;
            countText = &arguments[++index];
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
    } else if (form == "/verify") {
        request.Form = TCommandForm::cfVerify;
        wanted = 2;
    } else {
        return Failure(FormatText(Texts::CliUnknownForm, {formWord}));
    }

    if (countSwitch != nullptr) {
        if (request.Form != TCommandForm::cfSplit)
            return Failure(FormatText(Texts::CliSwitchNotForForm, {*countSwitch, formWord}));
        if (!SizeFromText(*countText, request.PieceCount) || request.PieceCount < 2 ||
            request.PieceCount > MaxPieceCount)
            return Failure(FormatText(Texts::CliBadCount, {*countText}));
        // The count stands in for the size.
        if (positional.size() == wanted)
            return Failure(Texts::CliSizeAndCount);
        --wanted;
    }
    for (const TSwitchUse& use : switches) {
        const bool fits = request.Form == TCommandForm::cfSplit   ? use.Switch->ForSplit
                          : request.Form == TCommandForm::cfUnite ? use.Switch->ForUnite
                                                                  : false;
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
    if (request.Form == TCommandForm::cfVerify)
        return parse;
    request.Folder = positional[2];
    // An empty folder would have meant the root of the current drive; writing
    // into "/" is never what was meant here.
    if (request.Folder.empty())
        return Failure(Texts::CliEmptyFolder);
    if (request.Form == TCommandForm::cfSplit && request.PieceCount == 0 &&
        !BlockSizeFromText(positional[3], request.Size))
        return Failure(FormatText(Texts::CliBadSize, {positional[3]}));
    return parse;
}
