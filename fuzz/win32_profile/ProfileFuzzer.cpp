// Private-profile text from disk is outside input: any bytes must parse, and
// edits must do exactly what they say while keeping everything else.
#include "kernel/ProfileDocument.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using quellor::win32::ProfileDocument;

void Require(bool condition) {
  if (!condition) std::abort();
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Values written by the settings store: plain decimal numbers.
constexpr std::string_view kValue = "12345";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ProfileDocument document = ProfileDocument::Parse(text);

  // Reading everything there is never fails, and a parse of the written text
  // reads the same.
  ProfileDocument again = ProfileDocument::Parse(document.Text());
  Require(again.Sections() == document.Sections());
  for (const auto& section : document.Sections()) {
    Require(again.Keys(section) == document.Keys(section));
    for (const auto& key : document.Keys(section)) {
      Require(again.Value(section, key) == document.Value(section, key));
    }
  }

  // A set is read back, a delete removes, in every section the text names
  // and in one it does not.
  auto sections = document.Sections();
  sections.push_back("Fuzz Section");
  for (const auto& section : sections) {
    if (section.find_first_of("]\r\n") != std::string::npos || section.empty()) continue;
    ProfileDocument edited = ProfileDocument::Parse(document.Text());
    edited.Set(section, "FuzzKey", kValue);
    ProfileDocument reread = ProfileDocument::Parse(edited.Text());
    Require(reread.Value(section, "FuzzKey") == std::string(kValue));
    for (const auto& other : document.Sections()) {
      if (SameName(other, section)) continue;
      for (const auto& key : document.Keys(other)) {
        Require(reread.Value(other, key) == document.Value(other, key));
      }
    }
    reread.DeleteKey(section, "FuzzKey");
    Require(!ProfileDocument::Parse(reread.Text()).Value(section, "FuzzKey").has_value());
    reread.DeleteSection(section);
    Require(ProfileDocument::Parse(reread.Text()).Keys(section).empty());
  }
  return 0;
}
