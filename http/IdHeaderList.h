// An ordered list of raw header lines ("Name: value") with lookup by name,
// replacement in place, folding of long lines on write and joining of
// continuation lines (beginning with a space or a TAB) on read. Never fails:
// an index outside the list reads as an empty value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TIdHeaderList {
 public:
  TIdHeaderList() = default;

  // The ordinary list operations.
  int32_t Count() const { return static_cast<int32_t>(FLines.size()); }
  const std::string& Strings(int32_t i) const { return FLines.at(static_cast<size_t>(i)); }
  void Put(int32_t i, const std::string& s) { FLines.at(static_cast<size_t>(i)) = s; }
  int32_t Add(const std::string& s);
  int32_t Add(std::string&& s);
  void Insert(int32_t i, const std::string& s);
  void Delete(int32_t i);
  void Clear() { FLines.clear(); }
  // Every line followed by CR LF.
  std::string Text() const;
  // Splits at CR LF, CR or LF.
  void SetText(const std::string& text);
  void AddStrings(const TIdHeaderList& other);

  const std::string& Separator() const { return FNameValueSeparator; }
  void SetSeparator(const std::string& v);
  bool CaseSensitive() const { return FCaseSensitive; }
  bool MatchCase() const { return FCaseSensitive; }
  void SetMatchCase(bool v) { FCaseSensitive = v; }
  bool UnfoldLines() const { return FUnfoldLines; }
  bool JoinFolded() const { return FUnfoldLines; }
  void SetJoinFolded(bool v) { FUnfoldLines = v; }
  bool FoldLines() const { return FFoldLines; }
  bool FoldOnWrite() const { return FFoldLines; }
  void SetFoldOnWrite(bool v) { FFoldLines = v; }
  int32_t FoldLength() const { return FFoldLinesLength; }
  int32_t FoldWidth() const { return FFoldLinesLength; }
  void SetFoldWidth(int32_t v) { FFoldLinesLength = v; }

  // Text before the first ":", upper-cased unless MatchCase; "" without ":".
  std::string NameAt(int32_t i) const;
  // Text after the first ":", joined with its continuation lines, trimmed.
  std::string ValueAt(int32_t i) const;
  // First line whose name equals name without regard to case; -1 when none.
  int32_t IndexOfHeader(const std::string& name) const;
  std::string Lookup(const std::string& name) const { return ValueAt(IndexOfHeader(name)); }
  // Replaces the first line of that name in place (or appends); an empty value
  // removes the line and its continuation lines.
  void Store(const std::string& name, const std::string& value);
  void CollectValues(const std::string& name, std::vector<std::string>* dest) const;
  void CollectValues(const std::string& name, TIdHeaderList* dest) const;

  // Folds one header line at width into lines joined by CR LF + space.
  static std::string WrapHeaderText(const std::string& line, int32_t width);

 private:
  void DeleteFoldedLines(int32_t index);
  // Whether line i's name (text before the first name end) equals name
  // without regard to case; no copies made.
  bool HasName(int32_t i, std::string_view name) const;
  size_t NameEnd(const std::string& line) const;
  std::vector<std::string> FoldAndInsert(const std::string& line) const;

  std::vector<std::string> FLines;
  std::string FNameValueSeparator = ": ";
  std::string FNameEnd = ":";  // the separator without its trailing blanks
  bool FCaseSensitive = false;
  bool FUnfoldLines = true;
  bool FFoldLines = true;
  int32_t FFoldLinesLength = 78;
};
