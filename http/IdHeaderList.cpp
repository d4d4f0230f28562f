#include "http/IdHeaderList.h"

#include <cstring>

#include "http/IdGlobal.h"

int32_t TIdHeaderList::Add(const std::string& s) {
  FLines.push_back(s);
  return Count() - 1;
}

int32_t TIdHeaderList::Add(std::string&& s) {
  FLines.push_back(std::move(s));
  return Count() - 1;
}

void TIdHeaderList::SetSeparator(const std::string& v) {
  FNameValueSeparator = v;
  FNameEnd = TrimRight(v);
  if (FNameEnd.empty()) FNameEnd.assign(1, ':');
}

void TIdHeaderList::Insert(int32_t i, const std::string& s) {
  if (i < 0 || i > Count()) i = Count();
  FLines.insert(FLines.begin() + i, s);
}

void TIdHeaderList::Delete(int32_t i) {
  if (i >= 0 && i < Count()) FLines.erase(FLines.begin() + i);
}

std::string TIdHeaderList::Text() const {
  std::string r;
  for (const std::string& l : FLines) {
    r += l;
    r += "\r\n";
  }
  return r;
}

void TIdHeaderList::SetText(const std::string& text) {
  FLines.clear();
  size_t i = 0, n = text.size();
  while (i < n) {
    size_t e = i;
    while (e < n && text[e] != '\r' && text[e] != '\n') ++e;
    FLines.push_back(text.substr(i, e - i));
    if (e < n && text[e] == '\r') {
      ++e;
      if (e < n && text[e] == '\n') ++e;
    } else if (e < n) {
      ++e;
    }
    i = e;
  }
}

void TIdHeaderList::AddStrings(const TIdHeaderList& other) {
  FLines.insert(FLines.end(), other.FLines.begin(), other.FLines.end());
}

size_t TIdHeaderList::NameEnd(const std::string& line) const {
  if (FNameEnd.size() == 1) {
    const void* p = std::memchr(line.data(), FNameEnd[0], line.size());
    return p ? static_cast<size_t>(static_cast<const char*>(p) - line.data()) : std::string::npos;
  }
  return line.find(FNameEnd);
}

bool TIdHeaderList::HasName(int32_t i, std::string_view name) const {
  const std::string& line = FLines[static_cast<size_t>(i)];
  const size_t n = name.size();
  // The name must be followed by the name end, and the name end must not
  // occur earlier: then the text before the first name end is the name.
  return line.size() >= n + FNameEnd.size() && line.compare(n, FNameEnd.size(), FNameEnd) == 0 &&
         TextIsSame(std::string_view(line).substr(0, n), name) &&
         std::string_view(line).substr(0, n).find(FNameEnd) == std::string_view::npos;
}

std::string TIdHeaderList::NameAt(int32_t i) const {
  if (i < 0 || i >= Count()) return {};
  const std::string& line = FLines[static_cast<size_t>(i)];
  size_t p = NameEnd(line);
  if (p == std::string::npos) return {};
  return FCaseSensitive ? line.substr(0, p) : UpperCase(line.substr(0, p));
}

static bool IsContinuation(const std::string& s) {
  return !s.empty() && (s[0] == ' ' || s[0] == '\t');
}

std::string TIdHeaderList::ValueAt(int32_t i) const {
  if (i < 0 || i >= Count()) return {};
  const std::string& line = FLines[static_cast<size_t>(i)];
  size_t skip = NameAt(i).size() + 1;
  std::string value = skip < line.size() ? line.substr(skip) : std::string();
  if (FUnfoldLines)
    for (int32_t j = i + 1; j < Count() && IsContinuation(FLines[static_cast<size_t>(j)]); ++j)
      value = Trim(value) + " " + Trim(FLines[static_cast<size_t>(j)]);
  return Trim(value);
}

int32_t TIdHeaderList::IndexOfHeader(const std::string& name) const {
  for (int32_t i = 0; i < Count(); ++i)
    if (HasName(i, name)) return i;
  return -1;
}

void TIdHeaderList::DeleteFoldedLines(int32_t index) {
  while (index + 1 < Count() && IsContinuation(FLines[static_cast<size_t>(index + 1)]))
    Delete(index + 1);
}

std::vector<std::string> TIdHeaderList::FoldAndInsert(const std::string& line) const {
  std::string folded = WrapHeaderText(line, FFoldLinesLength);
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    size_t p = folded.find("\r\n", start);
    pieces.push_back(TrimRight(folded.substr(start, p == std::string::npos ? p : p - start)));
    if (p == std::string::npos) break;
    start = p + 2;
  }
  return pieces;
}

void TIdHeaderList::Store(const std::string& name, const std::string& value) {
  int32_t i = IndexOfHeader(name);
  if (!value.empty()) {
    if (i < 0) i = Add("");
    std::string line = name + FNameValueSeparator + value;
    if (FFoldLines) {
      DeleteFoldedLines(i);
      std::vector<std::string> pieces = FoldAndInsert(line);
      FLines[static_cast<size_t>(i)] = pieces[0];
      FLines.insert(FLines.begin() + i + 1, pieces.begin() + 1, pieces.end());
    } else {
      FLines[static_cast<size_t>(i)] = line;
    }
  } else if (i >= 0) {
    if (FFoldLines) DeleteFoldedLines(i);
    Delete(i);
  }
}

void TIdHeaderList::CollectValues(const std::string& name, std::vector<std::string>* dest) const {
  if (!dest) return;
  for (int32_t i = 0; i < Count(); ++i)
    if (HasName(i, name)) dest->push_back(ValueAt(i));
}

void TIdHeaderList::CollectValues(const std::string& name, TIdHeaderList* dest) const {
  if (!dest) return;
  for (int32_t i = 0; i < Count(); ++i)
    if (HasName(i, name)) dest->Add(ValueAt(i));
}

static bool IsBreakChar(char c) {
  return c == '\t' || c == ' ' || c == ',';
}

// Breaks outside double quotes after the last TAB, space or "," that keeps a
// piece within width; an existing CR LF + space break is kept as it is.
std::string TIdHeaderList::WrapHeaderText(const std::string& line, int32_t width) {
  static const std::string kBreak = "\r\n ";
  const size_t n = line.size();
  std::string out;
  size_t i = 0, start = 0;
  size_t brk = std::string::npos;  // index of the last character of the piece
  int64_t col = 1;
  bool quoted = false;
  while (i < n) {
    char c = line[i];
    bool wasQuote = c == '"';
    bool existing = false;
    if (wasQuote) quoted = !quoted;
    if (!quoted && TextIsSame(std::string_view(line).substr(i, 3), kBreak)) {
      i += 3;
      col += 3;
      brk = i - 1;
      existing = true;
    } else {
      if (!quoted && IsBreakChar(c)) brk = i;
      ++i;
      ++col;
    }
    if (!quoted && (existing || (col > width && brk != std::string::npos && brk > start))) {
      out.append(line, start, brk - start + 1);
      size_t j = brk + 1;
      if (!wasQuote)
        while (j < n && (IsBreakChar(line[j]) || line[j] == '\r' || line[j] == '\n')) ++j;
      if (!existing && j < n) out += kBreak;
      start = j;
      if (i < j) i = j;
      col = static_cast<int64_t>(i - start) + 1;
      brk = std::string::npos;
    }
  }
  if (start < n) out.append(line, start, std::string::npos);
  return out;
}
