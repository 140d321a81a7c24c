// Test fixture: the core started (so the system device exists) and a fresh
// temporary directory, removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "kelncore/system/startup.h"

namespace keln {

class fs_temp_dir : public ::testing::Test {
 protected:
  void SetUp() override {
    core_startup(0);
    char pattern[] = "/tmp/velm_fs_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    core_shutdown();
  }

  // The system path of a name in the directory.
  std::string at(const std::string& name) const { return dir + "/" + name; }

  void write_text(const std::string& name, const std::string& text) const {
    std::ofstream(at(name), std::ios::binary) << text;
  }
  std::string read_text(const std::string& name) const {
    std::ifstream in(at(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string dir;
};

}  // namespace keln
