// Builds Pelmora's three lookup tables (pin.dat, pj.dat, jj.dat), the word table (words.dat)
// and the candidate table (candidates.dat) from the OpenCC character and phrase dictionaries
// (dumped as text), Unihan_Variants.txt and ICU's code page 936 and 932 mappings, and prints a
// coverage report. tools/build_tables.sh gathers the sources and runs it.
#include "candidate_table.h"
#include "coverage_report.h"
#include "evidence_defaults.h"
#include "japanese_choice.h"
#include "name_forms.h"
#include "phrase_sources.h"
#include "table_records.h"
#include "variant_sources.h"
#include "word_report.h"
#include "word_table.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;
using namespace pelmora::tables;

namespace {

constexpr const char* kUsage =
    "usage: table_builder --st STCharacters.txt --st-phrases STPhrases.txt\n"
    "                     --jp-variants JPVariants.txt --jp-shinjitai JPShinjitaiCharacters.txt\n"
    "                     --unihan Unihan_Variants.txt --out DIR\n"
    "Writes DIR/pin.dat, pj.dat, jj.dat, words.dat, candidates.dat and names.dat, prints the\n"
    "coverage report, and puts the report into DIR/README.md between its coverage markers when\n"
    "that file exists.\n";

constexpr const char* kReportBegin = "<!-- coverage report: begin -->\n";
constexpr const char* kReportEnd = "<!-- coverage report: end -->";

const std::set<std::string> kOptions = {"--st",           "--st-phrases", "--jp-variants",
                                        "--jp-shinjitai", "--unihan",     "--out"};

// Every option is required and takes one value.
std::map<std::string, std::string> parse_arguments(int argc, char** argv) {
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

std::ifstream open_source(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return file;
}

VariantSources read_sources(std::map<std::string, std::string>& options) {
    VariantSources sources;
    auto st = open_source(options["--st"]);
    sources.simplified_to_traditional = read_opencc_characters(st);
    auto jp_variants = open_source(options["--jp-variants"]);
    sources.traditional_to_japanese = read_opencc_characters(jp_variants);
    auto jp_shinjitai = open_source(options["--jp-shinjitai"]);
    sources.old_form_to_shinjitai = reverse_links(read_opencc_characters(jp_shinjitai));
    auto unihan = open_source(options["--unihan"]);
    sources.unihan = read_unihan_variants(unihan, unihan_fields());
    return sources;
}

std::optional<Choice> choose(const DesktopKey& key, const JapaneseChooser& chooser) {
    const bool ideograph =
        key.key_class == KeyClass::Gb2312Hanzi || key.key_class == KeyClass::OtherIdeograph;
    return ideograph ? chooser.choose_for_ideograph(key.character)
                     : chooser.choose_for_other(key.character);
}

std::vector<TableRecord> build_records(const std::vector<DesktopKey>& keys,
                                       const JapaneseChooser& chooser) {
    std::vector<TableRecord> records;
    for (const auto& key : keys) {
        if (auto choice = choose(key, chooser)) {
            records.push_back({key, std::move(*choice)});
        }
    }
    return records;
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

PerCharacter per_character(const std::vector<TableRecord>& records) {
    PerCharacter per_char;
    for (const auto& record : records) {
        per_char.emplace(record.key.character, record.choice.code);
    }
    return per_char;
}

void write_tables(const fs::path& directory, const std::vector<TableRecord>& records) {
    std::string pin;
    std::string pj;
    std::string jj;
    for (const auto& record : records) {
        pin += record_bytes(record.key.bytes);
        pj += record_bytes(record.choice.code.sjis);
        jj += record_bytes(record.choice.code.preview);
    }
    write_file(directory / "pin.dat", pin);
    write_file(directory / "pj.dat", pj);
    write_file(directory / "jj.dat", jj);
}

// Keeps README.md's coverage section equal to what this build printed.
void update_readme(const fs::path& readme, const std::string& report) {
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
    const auto report_start = begin + std::string(kReportBegin).size();
    write_file(readme, text.substr(0, report_start) + report + text.substr(end));
}

} // namespace

int main(int argc, char** argv) {
    try {
        auto options = parse_arguments(argc, argv);
        const VariantSources sources = read_sources(options);
        JapaneseChooser chooser(sources);
        const StrictCodePage desktop(kDesktopCodePage);
        const auto keys = desktop_keys(desktop);
        auto phrase_file = open_source(options["--st-phrases"]);
        const auto phrases = read_opencc_phrases(phrase_file);
        const auto evidence = word_evidence(phrases, chooser);

        const auto changes = evidence_default_changes(
            keys, per_character(build_records(keys, chooser)), chooser, evidence);
        chooser.set_evidence_defaults(moved_defaults(changes));
        const auto records = build_records(keys, chooser);
        const auto per_char = per_character(records);

        WordCounts word_counts;
        const auto full = full_word_dictionary(phrases, chooser, per_char, desktop, word_counts);
        const auto words = reduced_word_table(phrases, full, per_char, word_counts);
        const auto candidates = candidate_entries(keys, per_char, chooser, evidence);

        const fs::path out = options["--out"];
        write_tables(out, records);
        write_file(out / "words.dat", word_table_bytes(words));
        write_file(out / "candidates.dat", candidate_table_bytes(candidates));
        write_file(out / "names.dat", name_table_bytes(name_entries(chooser, per_char, desktop)));
        const std::string report = coverage_report(keys, records, chooser) +
                                   word_report(word_counts, words, candidates, changes, per_char);
        std::cout << report;
        update_readme(out / "README.md", report);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
