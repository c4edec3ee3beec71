#pragma once
// The INI-style settings interface that settings, port sections and project files are read
// and written through, with an in-memory file store. The registry store (Windows only) is in
// base/win/registry_ini_file.h.
//
// Sections and keys compare case-insensitively; values are kept verbatim to the end of the
// line, never trimmed. Reads never throw; a store that cannot be written throws EFileError.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/exception.h"

namespace kv {

class TCustomIniFile {
 public:
  virtual ~TCustomIniFile() = default;

  virtual std::string ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const = 0;
  virtual void WriteString(std::string_view section, std::string_view key,
                           std::string_view value) = 0;
  // Integers are written as decimal text; reading also accepts "$hex" and "0x" hex.
  virtual int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  virtual void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  // Flags are written as "1" and "0"; any non-zero integer reads as true.
  virtual bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  virtual void WriteBool(std::string_view section, std::string_view key, bool value);

  virtual std::vector<std::string> ReadSections() const = 0;
  // The key names of a section, in stored order.
  virtual std::vector<std::string> ReadSection(std::string_view section) const = 0;
  // Every key of a section with its value, in stored order, in one pass. A key stored twice
  // appears twice; a reader that wants what ReadString reads takes the first.
  virtual std::vector<std::pair<std::string, std::string>> ReadSectionValues(
      std::string_view section) const;
  virtual bool SectionExists(std::string_view section) const = 0;
  virtual bool ValueExists(std::string_view section, std::string_view key) const = 0;
  virtual void EraseSection(std::string_view section) = 0;
  virtual void DeleteKey(std::string_view section, std::string_view key) = 0;

  // Makes what was written durable. The file store writes its file; the registry store has
  // nothing left to do.
  virtual void UpdateFile() = 0;
};

// A whole INI text held in memory; UpdateFile writes it back to the file it was made for.
// Lines that are neither sections nor "key=value" (comments, blank lines) and sections this
// program does not know survive a write-back unchanged. Sections and keys are indexed, so a
// project of thousands of keys reads and writes in linear time; the first of duplicate
// sections or keys is the one read and written.
class TMemIniFile : public TCustomIniFile {
 public:
  TMemIniFile() = default;
  // Loads the file when it exists; a missing file gives an empty store that UpdateFile
  // creates. A file that exists but cannot be read throws EFileError.
  explicit TMemIniFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

  void SetText(std::string_view text);
  std::string GetText() const;  // lines end with CR LF
  void Clear();

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const override;
  void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  std::vector<std::string> ReadSections() const override;
  std::vector<std::string> ReadSection(std::string_view section) const override;
  std::vector<std::pair<std::string, std::string>> ReadSectionValues(
      std::string_view section) const override;
  bool SectionExists(std::string_view section) const override;
  bool ValueExists(std::string_view section, std::string_view key) const override;
  void EraseSection(std::string_view section) override;
  void DeleteKey(std::string_view section, std::string_view key) override;

  // Writes the file as WriteFileAtomically does. Throws EFileError on any failure.
  void UpdateFile() override;

 private:
  // Where the first entry of each name sits in a list of sections or of lines, so that a
  // lookup does not walk the list. Names of plain ASCII are equal under AnsiSameText exactly
  // when they are equal ignoring ASCII case, so they are hashed that way; a lookup of any
  // other name, or in a list holding one, walks the list with AnsiSameText, whose locale
  // rules (ligatures, ignored characters) no hash can follow.
  class TNameIndex {
   public:
    void Clear();
    void Reserve(size_t names);  // room for this many names without growing
    // Indexes list[pos] by its name; an earlier entry of the same name stays the one found.
    template <class List>
    void Add(const List& list, size_t pos);
    template <class List>
    std::optional<size_t> Find(std::string_view name, const List& list) const;

   private:
    struct Slot {
      uint32_t hash = 0;
      uint32_t pos = kEmpty;  // into the list
    };
    static constexpr uint32_t kEmpty = UINT32_MAX;
    void Rehash(size_t slots);

    std::vector<Slot> slots_;  // open addressing, a power of two in size, at most half full
    size_t used_ = 0;
    size_t otherNames_ = 0;  // names not in slots_
  };

  struct Line {
    bool isValue = false;  // false: kept verbatim (comment, blank or unparsed line)
    std::string key;
    std::string value;  // the raw line when !isValue
  };
  struct Section {
    std::string name;  // empty for lines before the first section header
    bool hasHeader = true;
    std::vector<Line> lines;
    TNameIndex keys;  // over lines
  };

  // NameOf is what TNameIndex reads the names of its list with.
  static const std::string* NameOf(const Section& s);
  static const std::string* NameOf(const Line& l);
  Section* Find(std::string_view section);
  const Section* Find(std::string_view section) const;
  static std::optional<size_t> FindKey(const Section& s, std::string_view key);
  Section& AddSection(std::string name, bool hasHeader);
  static void IndexKeys(Section& s);
  void IndexSections();

  std::string fileName_;
  std::vector<Section> sections_;
  TNameIndex sectionIndex_;  // over sections_
};

// Reads a whole file into bytes; throws EFileError when it cannot be read.
std::string ReadFileBytes(const std::string& fileName);
// Writes bytes to a temporary file "<fileName>.XXXXXXXX.tmp" (8 hex digits) beside fileName,
// flushes it to the disk and then puts it in fileName's place, so that a crash or power cut
// leaves the old file or the new one, whole. A read-only fileName is not replaced. After a
// save, the temporary files of earlier saves of fileName that were cut off, and that no
// process holds, are removed. Throws EFileError "Cannot save "<fileName>": <the system's
// reason>", and leaves the old file as it was, when any step fails.
void WriteFileAtomically(const std::string& fileName, std::string_view bytes);

}  // namespace kv
