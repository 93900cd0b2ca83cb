// Calling the NetWeaver stand-in as the program does: UTF-16 texts, the
// error record, and a working directory of the test's own.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "nw_exports.h"

namespace nwtest {

namespace fs = std::filesystem;

inline std::vector<NwChar> U(const std::string& text) {
  std::vector<NwChar> units;
  for (char c : text) units.push_back(static_cast<unsigned char>(c));
  units.push_back(0);
  return units;
}

// Units up to the terminator; a unit above 0xFF shows as '#'.
inline std::string Text(const NwChar* units, size_t limit = 100000) {
  std::string text;
  for (size_t i = 0; i < limit && units[i]; ++i) text.push_back(units[i] > 0xFF ? '#' : static_cast<char>(units[i]));
  return text;
}

struct Param {
  std::string name;
  std::string value;
};

// "ASHOST=h SYSNR=00": names and values without blanks.
inline std::vector<Param> P(const std::string& pairs) {
  std::vector<Param> params;
  size_t start = 0;
  while (start < pairs.size()) {
    size_t end = pairs.find(' ', start);
    if (end == std::string::npos) end = pairs.size();
    std::string pair = pairs.substr(start, end - start);
    size_t equals = pair.find('=');
    params.push_back({pair.substr(0, equals), pair.substr(equals + 1)});
    start = end + 1;
  }
  return params;
}

inline NwConnection Open(const std::vector<Param>& params, NwErrorInfo* error) {
  std::vector<std::vector<NwChar>> texts;
  for (const Param& param : params) {
    texts.push_back(U(param.name));
    texts.push_back(U(param.value));
  }
  std::vector<NwConnectionParameter> list;
  for (size_t i = 0; i < params.size(); ++i) list.push_back({texts[2 * i].data(), texts[2 * i + 1].data()});
  return RfcOpenConnection(list.data(), static_cast<unsigned>(list.size()), error);
}

// An error record full of rubbish, so that a call must write every part.
inline NwErrorInfo Dirty() {
  NwErrorInfo error;
  std::memset(&error, 0x55, sizeof error);
  return error;
}

inline void ExpectOk(const NwErrorInfo& error) {
  EXPECT_EQ(error.code + error.group + error.key[0] + error.message[0] + error.abapMsgV4[0], 0);
}

class NwTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "nwrfcsim-XXXXXX").string();
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    dir_ = pattern;
    fs::current_path(dir_);
  }

  void TearDown() override {
    EXPECT_FALSE(fs::exists("dev_rfc.trc") || fs::exists("Dev_Rfc.Trc"));  // it writes no trace
    fs::current_path(home_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // The landscape's cache knows a file by its size and time, and two files
  // written in one clock tick share a time: a comment that grows with every
  // write makes each file's size new.
  void Write(const std::string& text) {
    std::string content = text + "\n#" + std::string(++writes_, '-') + "\n";
    std::FILE* file = std::fopen("sapsim.ini", "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
  }

  fs::path home_;
  fs::path dir_;
  size_t writes_ = 0;
};

}  // namespace nwtest
