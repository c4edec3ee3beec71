#include "base/unstorable_text.h"

#include <algorithm>
#include <cstdio>

namespace kv {

std::string CodePointName(char32_t character) {
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "U+%04X", static_cast<unsigned>(character));
  return buffer;
}

std::string UnstorableTextMessage(const std::vector<char32_t>& characters,
                                  const std::string& what) {
  std::vector<char32_t> unique;
  for (char32_t c : characters)
    if (std::find(unique.begin(), unique.end(), c) == unique.end()) unique.push_back(c);
  std::string names;
  for (size_t i = 0; i < unique.size(); ++i) {
    if (i > 0) names += ", ";
    names += CodePointName(unique[i]);
  }
  const bool one = unique.size() == 1;
  return (what.empty() ? std::string("This text") : what) + " holds " +
         (one ? "a character" : "characters") +
         " that this computer's code page cannot hold: " + names +
         ".\r\nThe project and settings files cannot store " + (one ? "it" : "them") +
         ". Please use other characters.";
}

}  // namespace kv
