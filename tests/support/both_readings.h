#pragma once

#include "char_tables.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmora::testing {

/// Runs a value-parameterised suite once per way of reading the tables.
inline auto BothReadings() {
    return ::testing::Values(TableReading::PerRecord, TableReading::InMemory);
}

/// Names each instance after its reading.
inline std::string ReadingName(const ::testing::TestParamInfo<TableReading>& info) {
    return info.param == TableReading::PerRecord ? "PerRecord" : "InMemory";
}

} // namespace pelmora::testing
