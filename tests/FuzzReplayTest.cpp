// Replays the fuzzers' seed corpora and every input a fuzzer once broke (fuzz/regressions/)
// through the same property checks, in the ordinary build, so a fixed finding stays fixed
// without clang.

#include "InterchangeCheck.h"
#include "TelLoadCheck.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Inputs(const std::string& target) {
    std::vector<fs::path> inputs;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path folder = fs::path(ORVALEN_FUZZ_DIR) / kind / target;
        std::error_code error;
        if (!fs::is_directory(folder, error))
            continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file())
                inputs.push_back(entry.path());
        }
    }
    return inputs;
}

TEST(FuzzReplayTest, TelInputsKeepEveryLoadProperty) {
    const auto inputs = Inputs("tel");
    ASSERT_GE(inputs.size(), 10u) << "the .tel seed corpus is missing";
    orvalen::testing::CTempFolder folder;
    for (const fs::path& input : inputs) {
        const auto broken =
            orvalen::fuzz::CheckTelLoad(orvalen::testing::ReadBytes(input), folder.Path());
        EXPECT_FALSE(broken) << input.filename() << ": " << broken.value_or("");
    }
}

TEST(FuzzReplayTest, VCardAndCsvInputsKeepEveryReadProperty) {
    using orvalen::fuzz::InterchangeFormat;
    for (const auto& [target, format] :
         {std::pair{"vcard", InterchangeFormat::vcard}, std::pair{"csv", InterchangeFormat::csv}}) {
        const auto inputs = Inputs(target);
        EXPECT_GE(inputs.size(), 5u) << "the " << target << " seed corpus is missing";
        for (const fs::path& input : inputs) {
            const auto broken =
                orvalen::fuzz::CheckInterchangeRead(format, orvalen::testing::ReadBytes(input));
            EXPECT_FALSE(broken) << target << "/" << input.filename() << ": "
                                 << broken.value_or("");
        }
    }
}

} // namespace
