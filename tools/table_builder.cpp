// Builds Pelmora's three lookup tables (pin.dat, pj.dat, jj.dat), the word table (words.dat)
// and the candidate table (candidates.dat) from the OpenCC character and phrase dictionaries
// (dumped as text), Unihan_Variants.txt and ICU's code page 936 and 932 mappings, weighing the
// Japanese forms by the IPADIC lexicon (its CSV files and MeCab on its compiled dictionary)
// and kanjidic, and prints a coverage report. tools/build_tables.sh gathers the sources and
// runs it.
#include "candidate_table.h"
#include "chinese_word_list.h"
#include "coverage_report.h"
#include "evidence_defaults.h"
#include "japanese_choice.h"
#include "japanese_lexicon.h"
#include "name_forms.h"
#include "phrase_sources.h"
#include "table_files.h"
#include "table_records.h"
#include "variant_sources.h"
#include "word_model.h"
#include "word_report.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;
using namespace pelmora;
using namespace pelmora::tables;

namespace {

constexpr const char* kUsage =
    "usage: table_builder --st STCharacters.txt --st-phrases STPhrases.txt\n"
    "                     --ts TSCharacters.txt --ts-phrases TSPhrases.txt --essay essay.txt\n"
    "                     --jp-variants JPVariants.txt --jp-shinjitai JPShinjitaiCharacters.txt\n"
    "                     --unihan Unihan_Variants.txt --ipadic IPADIC_CSV_DIR\n"
    "                     --mecab-dic MECAB_DICTIONARY_DIR --kanjidic kanjidic --out DIR\n"
    "Writes DIR/pin.dat, pj.dat, jj.dat, words.dat, candidates.dat and names.dat, prints the\n"
    "coverage report, and puts the report into DIR/README.md between its coverage markers when\n"
    "that file exists.\n";

constexpr const char* kReportBegin = "<!-- coverage report: begin -->\n";
constexpr const char* kReportEnd = "<!-- coverage report: end -->";

const std::set<std::string> kOptions = {
    "--st",           "--st-phrases", "--ts",     "--ts-phrases", "--essay",    "--jp-variants",
    "--jp-shinjitai", "--unihan",     "--ipadic", "--mecab-dic",  "--kanjidic", "--out"};
// Every option is required and takes one value.
std::map<std::string, std::string> ParseArguments(int argc, char** argv) {
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (kOptions.count(argv[i]) == 0) {
            throw std::invalid_argument(kUsage);
        }
        options[argv[i]] = argv[i + 1];
    }
    if (argc % 2 == 0 || options.size() != kOptions.size()) {
        throw std::invalid_argument(kUsage);
    }
    return options;
}

std::ifstream OpenSource(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return file;
}

VariantSources ReadSources(std::map<std::string, std::string>& options) {
    VariantSources sources;
    auto st = OpenSource(options["--st"]);
    sources.simplifiedToTraditional = ReadOpenccCharacters(st);
    auto jpVariants = OpenSource(options["--jp-variants"]);
    sources.traditionalToJapanese = ReadOpenccCharacters(jpVariants);
    auto jpShinjitai = OpenSource(options["--jp-shinjitai"]);
    sources.oldFormToShinjitai = ReverseLinks(ReadOpenccCharacters(jpShinjitai));
    auto unihan = OpenSource(options["--unihan"]);
    sources.unihan = ReadUnihanVariants(unihan, UnihanFields());
    return sources;
}

// The IPADIC CSV files in name order (the order does not change the result: every surface
// keeps its lowest cost), kanjidic, and MeCab on the compiled UTF-8 IPADIC.
void ReadLexicon(std::map<std::string, std::string>& options, JapaneseLexicon& lexicon) {
    std::vector<fs::path> csvFiles;
    for (const auto& file : fs::directory_iterator(options["--ipadic"])) {
        if (file.path().extension() == ".csv") {
            csvFiles.push_back(file.path());
        }
    }
    if (csvFiles.empty()) {
        throw std::runtime_error("no IPADIC CSV files in " + options["--ipadic"]);
    }
    std::sort(csvFiles.begin(), csvFiles.end());
    for (const auto& path : csvFiles) {
        auto csv = OpenSource(path.string());
        lexicon.ReadIpadicCsv(csv);
    }
    auto kanjidic = OpenSource(options["--kanjidic"]);
    lexicon.ReadKanjidic(kanjidic);
    lexicon.OpenMecab(options["--mecab-dic"]);
}

// An ideograph with no JIS X 0208 counterpart takes the first extension kanji of code page
// 932 among its forms: Japanese Windows fonts draw them, and the placeholder is surely wrong.
std::optional<Choice> Choose(const DesktopKey& key, const JapaneseChooser& chooser) {
    if (!IsIdeographKey(key)) {
        return chooser.ChooseForOther(key.character);
    }
    if (auto choice = chooser.ChooseForIdeograph(key.character)) {
        return choice;
    }
    const auto extension = ExtensionCounterparts(key.character, chooser);
    return extension.empty() ? std::nullopt
                             : std::optional<Choice>(Choice{extension.front(), "extension kanji"});
}

std::vector<TableRecord> BuildRecords(const std::vector<DesktopKey>& keys,
                                      const JapaneseChooser& chooser) {
    std::vector<TableRecord> records;
    for (const auto& key : keys) {
        if (auto choice = Choose(key, chooser)) {
            records.push_back({key, std::move(*choice)});
        }
    }
    return records;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

PerCharacter PerCharacterFrom(const std::vector<TableRecord>& records) {
    PerCharacter perChar;
    for (const auto& record : records) {
        perChar.emplace(record.key.character, record.choice.code);
    }
    return perChar;
}

void WriteTables(const fs::path& directory, const std::vector<TableRecord>& records) {
    std::string pin;
    std::string pj;
    std::string jj;
    for (const auto& record : records) {
        AppendRecord(CodeRecord(record.key.bytes), pin);
        AppendRecord(CodeRecord(record.choice.code.sjis), pj);
        AppendRecord(CodeRecord(record.choice.code.preview), jj);
    }
    WriteFile(directory / kKeyTableName, pin);
    WriteFile(directory / kJapaneseCodeTableName, pj);
    WriteFile(directory / kPreviewTableName, jj);
}

// Keeps README.md's coverage section equal to what this build printed.
void UpdateReadme(const fs::path& readme, const std::string& report) {
    if (!fs::exists(readme)) {
        return;
    }
    std::ifstream in(readme, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto begin = text.find(kReportBegin);
    const auto end = text.find(kReportEnd);
    if (begin == std::string::npos || end == std::string::npos || end < begin) {
        throw std::runtime_error(readme.string() + " lacks the coverage report markers");
    }
    const auto reportStart = begin + std::string(kReportBegin).size();
    WriteFile(readme, text.substr(0, reportStart) + report + text.substr(end));
}

// The Chinese word list: essay's words by simplified spelling (through OpenCC's t2s
// dictionaries), and STPhrases' words that essay lacks.
ChineseWordList ReadWordList(std::map<std::string, std::string>& options,
                             const std::vector<Phrase>& stPhrases, WordListCounts& counts) {
    auto ts = OpenSource(options["--ts"]);
    auto tsPhrases = OpenSource(options["--ts-phrases"]);
    const TraditionalToSimplified toSimplified(ReadOpenccCharacters(ts),
                                               ReadOpenccPhrases(tsPhrases));
    auto essay = OpenSource(options["--essay"]);
    return ReadChineseWordList(essay, toSimplified, stPhrases, counts);
}

} // namespace

int main(int argc, char** argv) {
    try {
        auto options = ParseArguments(argc, argv);
        const VariantSources sources = ReadSources(options);
        JapaneseChooser chooser(sources);
        const StrictCodePage desktop(kDesktopCodePage);
        const auto keys = DesktopKeys(desktop);
        auto phraseFile = OpenSource(options["--st-phrases"]);
        const auto stPhrases = ReadOpenccPhrases(phraseFile);
        WordListCounts listCounts;
        const auto wordList = ReadWordList(options, stPhrases, listCounts);
        JapaneseLexicon lexicon;
        ReadLexicon(options, lexicon);

        // First pass: the words spelled over the chooser's own defaults give the evidence that
        // may move a default; the second pass spells them again over the final defaults.
        const auto firstPerChar = PerCharacterFrom(BuildRecords(keys, chooser));
        WordSpeller firstSpeller(lexicon, chooser, firstPerChar);
        auto firstEvidence = LexiconEvidence(wordList.words, firstSpeller, desktop);
        for (const auto& [key, forms] :
             MissingKeyEvidence(wordList.traditionalWords, firstSpeller, firstPerChar)) {
            for (const auto& [form, words] : forms) {
                firstEvidence[key][form] += words;
            }
        }
        const auto changes =
            EvidenceDefaultChanges(keys, firstPerChar, chooser, firstEvidence, lexicon);
        chooser.SetEvidenceDefaults(MovedDefaults(changes));
        const auto records = BuildRecords(keys, chooser);
        const auto perChar = PerCharacterFrom(records);

        WordSpeller speller(lexicon, chooser, perChar);
        const auto evidence = LexiconEvidence(wordList.words, speller, desktop);
        ModelCounts modelCounts;
        const auto model =
            BuildWordModel(wordList.words, speller, evidence, perChar, desktop, modelCounts);
        const auto candidates = CandidateEntries(keys, perChar, chooser, evidence, lexicon);

        const fs::path out = options["--out"];
        WriteTables(out, records);
        const std::string candidateTable = CandidateTableBytes(candidates);
        const std::string wordModel = WordModelBytes(model.entries);
        WriteFile(out / kWordTableName, wordModel);
        WriteFile(out / kCandidateTableName, candidateTable);
        WriteFile(out / kNameTableName, NameTableBytes(NameEntries(chooser, perChar, desktop)));
        const std::string report =
            CoverageReport(keys, records, chooser) +
            WordReport(candidates, changes, lexicon, candidateTable.size()) +
            WordModelReport(listCounts, modelCounts, model, perChar, wordModel.size());
        std::cout << report;
        UpdateReadme(out / "README.md", report);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
