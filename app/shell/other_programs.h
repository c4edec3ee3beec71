#pragma once
// The presentation of the maker's other programs: an index of entries, a description per
// entry and a picture per entry, all stored as resources of type "PUBLICITY" of the program
// file and read through the checksum and scrambling streams.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kv {

class TStream;

// The resources of type "PUBLICITY". Windows: the program's own module; tests: a map.
class TPublicityResources {
 public:
  virtual ~TPublicityResources() = default;
  virtual std::optional<std::string> Named(const std::string& name) = 0;
  virtual std::optional<std::string> Numbered(int32_t id) = 0;
};

// Lines as a text splits at CR, LF or CR LF, without empty lines and "//" comments (a line of
// at least 3 characters beginning with "//").
std::vector<std::string> PublicityLines(const std::string& text);

// Reads a text resource (scrambled and checksummed as asked) into cleaned lines; throws
// "Resource <name> not valid <size>" on a checksum mismatch and "Unsufficient lines in
// resources" when no line is left.
std::vector<std::string> LoadPublicityText(TPublicityResources& resources, const std::string& name,
                                           bool scrambled, bool withChecksum);
// Reads a picture resource and checks its checksum; the picture's bytes (a bitmap file). The
// bitmap header is checked before anything else is trusted: impossible sizes are refused.
std::string LoadPublicityPicture(TPublicityResources& resources, int32_t number);
// The checks of a bitmap file's headers: throws on a truncated file or impossible sizes.
void CheckBitmapFile(const std::string& bytes);

class TPublicities;

class TPublicity {
 public:
  TPublicity(TPublicities& owner, std::string name, std::string link, int32_t description,
             int32_t picture)
      : owner_(owner), name_(std::move(name)), link_(std::move(link)),
        description_(description), picture_(picture) {}
  const std::string& Name() const { return name_; }
  const std::string& Link() const { return link_; }
  int32_t PictureNumber() const { return picture_; }
  // Loaded on first use; throws "Separator is missing in Description for <name>".
  const std::vector<std::string>& GetDescriptionLines();
  std::vector<std::string> GetBody();
  std::string LoadPicture();

 private:
  TPublicities& owner_;
  std::string name_;
  std::string link_;
  int32_t description_;
  int32_t picture_;
  std::optional<std::vector<std::string>> lines_;
  int32_t separator_ = -1;
};

class TPublicities {
 public:
  // Reads the index; entries named like the program title (any case) are left out. Throws
  // "Incorrect number of lines in resources" and conversion errors.
  TPublicities(TPublicityResources& resources, const std::string& programTitle);
  int Count() const { return static_cast<int>(entries_.size()); }
  TPublicity& GetEntry(int index) { return *entries_.at(static_cast<size_t>(index)); }
  TPublicityResources& Resources() { return resources_; }

 private:
  TPublicityResources& resources_;
  std::vector<std::unique_ptr<TPublicity>> entries_;
};

// The shuffled order in which the window shows the entries, drawn once; each call moves one
// step on and wraps at the end. random(n) gives 0 .. n-1.
class TPublicityOrder {
 public:
  explicit TPublicityOrder(std::function<int(int)> random) : random_(std::move(random)) {}
  // Throws when there is no entry.
  int Next(int count);

 private:
  std::function<int(int)> random_;
  std::vector<int> order_;
  int position_ = 0;
  bool drawn_ = false;
};

}  // namespace kv
