#include "app/Main.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "app/Crc32.h"
#include "app/Glyphs.h"
#include "framework/Application.h"
#include "http/IdHTTP.h"
#include "platform/System.h"
#include "platform/Utf8.h"

#ifndef VORLIX_DOWNLOAD_HOST
#define VORLIX_DOWNLOAD_HOST "download.vorlix.example"
#endif

namespace {

constexpr TColor kRunningColor = 12250766;  // 0xBAEE8E, light green
constexpr TColor kFailureColor = 9934847;   // 0x9797FF, light red
constexpr uint32_t kPieceSize = 1024;
constexpr const char* kTargetName = "vorlix_srv.exe";

std::string g_host;
char g_separator = 0;
TShellOpenFunc g_shellOpen;
std::string g_tempOverride;

const std::string& Unit() {
  static const std::string u = Utf8ToAnsi(" МБ");
  return u;
}

TFont MakeFont(TColor Color, TFontStyles Style) {
  TFont f;
  f.SetCharset(DEFAULT_CHARSET);
  f.SetColor(Color);
  f.SetHeight(-11);
  f.SetName("MS Sans Serif");
  f.SetStyle(Style);
  return f;
}

// The target file, written through one buffer allocated once: the transfer's
// 1024-byte pieces would otherwise cost one system call each. Every failure
// (create, write, close) raises EFileError; the destructor closes silently.
class TTargetFile {
 public:
  static constexpr size_t kBufferSize = 256 * 1024;

  explicit TTargetFile(const std::string& Path) : FFile(std::fopen(Path.c_str(), "wb")) {
    if (!FFile) throw EFileError("Cannot create file \"" + Path + "\"");
    std::setvbuf(FFile, nullptr, _IONBF, 0);
    FBuffer = std::make_unique<char[]>(kBufferSize);
  }
  ~TTargetFile() {
    if (FFile) std::fclose(FFile);
  }
  TTargetFile(const TTargetFile&) = delete;
  TTargetFile& operator=(const TTargetFile&) = delete;

  void Write(const void* Data, size_t Count) {
    if (Count > kBufferSize - FUsed) Flush();
    std::memcpy(FBuffer.get() + FUsed, Data, Count);
    FUsed += Count;
  }
  // Writes what is buffered and closes; the file is complete on disk afterwards.
  void Close() {
    Flush();
    std::FILE* f = FFile;
    FFile = nullptr;
    if (std::fclose(f) != 0) throw EFileError("Cannot close the file");
  }

 private:
  void Flush() {
    if (FUsed && std::fwrite(FBuffer.get(), 1, FUsed, FFile) != FUsed)
      throw EFileError("Cannot write the file");
    FUsed = 0;
  }

  std::FILE* FFile;
  std::unique_ptr<char[]> FBuffer;
  size_t FUsed = 0;
};

// 10^N in extended precision, by repeated squaring; 1 / 10^-N for negative N.
long double IntPower10(int32_t N) {
  uint32_t e = N < 0 ? 0u - static_cast<uint32_t>(N) : static_cast<uint32_t>(N);
  long double r = 1.0L, b = 10.0L;
  while (e) {
    if (e & 1) r *= b;
    b *= b;
    e >>= 1;
  }
  return N < 0 ? 1.0L / r : r;
}

// A value as at most 15 significant decimal digits: |v| = 0.Digits x 10^Exp10.
// Digits has no trailing zeros and is empty for zero.
struct TDecimal15 {
  bool Negative = false;
  std::string Digits;
  int32_t Exp10 = 0;
  bool Finite = true;
};

TDecimal15 ToDecimal15(long double v) {
  TDecimal15 d;
  if (v != v || v == std::numeric_limits<long double>::infinity() ||
      v == -std::numeric_limits<long double>::infinity()) {
    d.Finite = false;
    d.Negative = v < 0;
    return d;
  }
  if (v == 0) return d;
  d.Negative = v < 0;
  if (d.Negative) v = -v;
  // 18 significant digits, rounded to nearest: "d.ddddddddddddddddde+XX".
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 17);
  const std::string_view s(buf, static_cast<size_t>(res.ptr - buf));
  const size_t e = s.find('e');
  std::string digits;
  for (size_t i = 0; i < e; ++i)
    if (s[i] != '.') digits += s[i];
  int32_t exp = 0;
  std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exp);
  d.Exp10 = exp + 1;
  // Half up to 15 digits.
  const bool up = digits.size() > 15 && digits[15] >= '5';
  digits.resize(15);
  if (up) {
    int32_t i = 14;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i >= 0) {
      ++digits[i];
    } else {
      digits.insert(digits.begin(), '1');
      digits.resize(15);
      ++d.Exp10;
    }
  }
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  d.Digits = std::move(digits);
  return d;
}

}  // namespace

// ---------------------------------------------------------------- numbers

std::string FloatToGeneralText(long double Value, char Separator) {
  const TDecimal15 d = ToDecimal15(Value);
  if (!d.Finite) return Value != Value ? "NAN" : (d.Negative ? "-INF" : "INF");
  if (d.Digits.empty()) return "0";
  std::string out = d.Negative ? "-" : "";
  const int32_t E = d.Exp10;
  const std::string& g = d.Digits;
  if (E > 15 || E < -3) {
    out += g[0];
    if (g.size() > 1) (out += Separator) += g.substr(1);
    out += 'E';
    if (E - 1 < 0) out += '-';
    out += std::to_string(E - 1 < 0 ? 1 - E : E - 1);
  } else if (E <= 0) {
    out += '0';
    out += Separator;
    out.append(static_cast<size_t>(-E), '0');
    out += g;
  } else {
    const size_t whole = static_cast<size_t>(E);
    if (g.size() <= whole) {
      out += g;
      out.append(whole - g.size(), '0');
    } else {
      out += g.substr(0, whole);
      out += Separator;
      out += g.substr(whole);
    }
  }
  return out;
}

double RoundToDecimals(int32_t Digits, double X) {
  const long double P = IntPower10(-Digits) * static_cast<long double>(X);
  // The 15-digit text of P decides, as if printed and read back.
  const TDecimal15 d = ToDecimal15(P);
  if (!d.Finite) return X;
  if (d.Digits.empty()) return static_cast<double>(IntPower10(Digits) * 0.0L);
  // Beyond 18 integer digits the cut to a 64-bit integer would overflow; such a
  // value has nothing left to round.
  if (d.Exp10 > 18) return X;
  int64_t I = 0;
  bool up = false;
  if (d.Exp10 > 0) {
    for (int32_t i = 0; i < d.Exp10; ++i)
      I = I * 10 + (i < static_cast<int32_t>(d.Digits.size()) ? d.Digits[i] - '0' : 0);
    up = d.Exp10 < static_cast<int32_t>(d.Digits.size()) && d.Digits[d.Exp10] >= '5';
  } else {
    up = d.Exp10 == 0 && d.Digits[0] >= '5';
  }
  // A negative value's fraction is negative, never 0.5 or more: cut toward zero.
  if (d.Negative) return static_cast<double>(IntPower10(Digits) * static_cast<long double>(-I));
  return static_cast<double>(IntPower10(Digits) * static_cast<long double>(I + (up ? 1 : 0)));
}

namespace {

// Below 10^12 bytes the scaled value N * 100 / 2^20 has a fraction on a grid of
// 2^-20, far coarser than the 15-digit text's last place, so the half-up
// rounding of that text equals this integer rounding, and the rounded value
// prints as its hundredths. The table and sweep tests hold both routes equal.
constexpr int64_t kFastLimit = 1000000000000LL;

int64_t HundredthsOf(int64_t Bytes) {
  const uint64_t q = static_cast<uint64_t>(Bytes) * 100;
  return static_cast<int64_t>((q >> 20) + ((q & 0xFFFFF) >= 0x80000 ? 1 : 0));
}

}  // namespace

std::string MegabyteText(int64_t Bytes) {
  if (Bytes >= 0 && Bytes < kFastLimit) {
    const int64_t h = HundredthsOf(Bytes);
    std::string out = std::to_string(h / 100);
    if (const int32_t frac = static_cast<int32_t>(h % 100)) {
      out += DecimalSeparator();
      out += static_cast<char>('0' + frac / 10);
      if (frac % 10) out += static_cast<char>('0' + frac % 10);
    }
    return out + Unit();
  }
  return FloatToGeneralText(RoundToDecimals(-2, static_cast<double>(Bytes) / 1048576.0),
                            DecimalSeparator()) +
         Unit();
}

char DecimalSeparator() {
  return g_separator ? g_separator : platform::DecimalSeparator();
}
void SetDecimalSeparator(char Separator) {
  g_separator = Separator;
}

// ---------------------------------------------------------------- services

std::string DownloadHost() {
  return g_host.empty() ? std::string(VORLIX_DOWNLOAD_HOST) : g_host;
}
void SetDownloadHost(const std::string& HostAndPort) {
  g_host = HostAndPort;
}

std::string PackageUrl(int32_t Kind) {
  if (Kind == 1) return "http://" + DownloadHost() + "/setup/x64.exe";
  if (Kind == 2) return "http://" + DownloadHost() + "/setup/x86.exe";
  return {};
}

void SetShellOpen(TShellOpenFunc Open) {
  g_shellOpen = std::move(Open);
}

std::string GetTempDirectory() {
  return g_tempOverride.empty() ? platform::TempDirectory() : g_tempOverride;
}
void SetTempDirectoryOverride(const std::string& Dir) {
  g_tempOverride = Dir;
}

bool IsWow64() {
  return platform::IsWow64();
}

int32_t QueryContentLength(const std::string& Url) {
  auto http = std::make_unique<TIdHTTP>();
  http->Head(Url);
  return http->Reply()->ContentLength();
}

// ---------------------------------------------------------------- the window

TMain_Form::TMain_Form(TComponent* AOwner) : TForm(AOwner) {
  BeginLoading();
  SetName("Main_Form");
  // Stored layout: borderless, client 417 x 152, centred when first shown.
  SetBounds(486, 188, 417, 152);
  SetBorderStyle(bsNone);
  SetPosition(poScreenCenter);
  SetCaption("Main_Form");
  SetColor(clBtnFace);
  SetFont(MakeFont(clWindowText, 0));
  SetKeyPreview(true);
  CreateControls();
  OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
  OnKeyPress = [this](TObject* Sender, char& Key) { FormKeyPress(Sender, Key); };
  FinishCreation();
}

void TMain_Form::CreateControls() {
  NxHeaderPanel3 = new TNxHeaderPanel(this);
  NxHeaderPanel3->SetName("NxHeaderPanel3");
  NxHeaderPanel3->SetParent(this);
  NxHeaderPanel3->SetBounds(0, 0, 417, 152);
  NxHeaderPanel3->SetAlign(alClient);
  NxHeaderPanel3->SetAdaptiveColors(false);
  NxHeaderPanel3->SetBorderColor(16744757);
  NxHeaderPanel3->SetCaption(platform::utf::ToUtf16("Загрузчик 1.0 (скачиваемый файл до 200 МБ)"));
  NxHeaderPanel3->SetFont(MakeFont(5197647, 0));
  NxHeaderPanel3->SetParentFont(false);
  NxHeaderPanel3->SetHeaderColor(12424044);
  NxHeaderPanel3->SetHeaderFont(MakeFont(5789784, 0));
  NxHeaderPanel3->SetParentHeaderFont(false);
  NxHeaderPanel3->SetHeaderStyle(psWindowsLive);
  NxHeaderPanel3->SetOptions(0);
  NxHeaderPanel3->SetTabOrder(0);
  NxHeaderPanel3->SetFullWidth(417);

  // Windowless children in their stacking order, then the two windowed buttons.
  Gauge = new TsGauge(this);
  Gauge->SetName("Gauge");
  Gauge->SetParent(NxHeaderPanel3);
  Gauge->SetBounds(0, 27, 415, 123);
  Gauge->SetAlign(alClient);
  Gauge->SetFont(MakeFont(clSilver, fsBold));
  Gauge->SetParentFont(false);
  Gauge->SetBorderStyle(bsNone);
  Gauge->SkinData()->SetCustomFont(true);
  Gauge->SkinData()->SetSkinSection("GAUGE");
  Gauge->SetForeColor(kRunningColor);
  Gauge->SetMaxValue(200);
  Gauge->SetProgress(50);
  Gauge->SetSuffix("%");

  bclose = new TsSpeedButton(this);
  bclose->SetName("bclose");
  bclose->SetParent(NxHeaderPanel3);
  bclose->SetBounds(389, 2, 26, 24);
  bclose->SetAnchors(akTop | akRight);
  bclose->SetCursor(crHandPoint);
  bclose->SetHint(Utf8ToAnsi("Закрыть"));
  bclose->SetFlat(true);
  bclose->SetShowCaption(false);
  bclose->SetGlyph(MakeCloseGlyph().get());
  bclose->SkinData()->SetSkinSection("SPEEDBUTTON");
  bclose->OnClick = [this](TObject* Sender) { bcloseClick(Sender); };

  run = new TsLabel(this);
  run->SetName("run");
  run->SetParent(NxHeaderPanel3);
  run->SetBounds(17, 83, 15, 13);
  run->SetCaption("run");
  run->SetParentBiDiMode(false);
  run->SetBiDiMode(bdLeftToRight);

  size = new TsLabel(this);
  size->SetName("size");
  size->SetParent(NxHeaderPanel3);
  size->SetBounds(380, 83, 18, 13);
  size->SetAnchors(akTop | akRight);
  size->SetCaption("size");
  size->SetAlignment(taRightJustify);

  auto option = [this](const char* Name, int32_t Top, int32_t Tag, const char* Caption,
                       TOptionGlyph Glyph, int32_t TabOrder) {
    TNxButton* b = new TNxButton(this);
    b->SetName(Name);
    b->SetParent(NxHeaderPanel3);
    b->SetBounds(16, Top, 383, 43);
    b->SetAnchors(akLeft | akTop | akRight);
    b->SetTag(Tag);
    b->SetCaption(Utf8ToAnsi(Caption));
    b->SetCursor(crHandPoint);
    b->SetEnableDblClick(false);
    b->SetFont(MakeFont(5197647, 0));
    b->SetParentFont(false);
    b->SetGlyph(MakeOptionGlyph(Glyph).get());
    b->SetGlyphSpacing(15);
    b->SetTransparent(true);
    b->SetTabOrder(TabOrder);
    b->SetTabStop(false);
    b->OnClick = [this](TObject* Sender) { Nx1Click(Sender); };
    return b;
  };
  Nx1 = option("Nx1", 39, 1, "Установочный пакет Windows XP,7,8,8.1,10 x64", TOptionGlyph::x64, 0);
  Nx1->SetParentColor(false);
  Nx2 =
      option("Nx2", 97, 2, "Установочный пакет Windows XP,7,8,8.1 x86     ", TOptionGlyph::x86, 1);

  sSkinManager1 = new TsSkinManager(this);
  sSkinManager1->SetName("sSkinManager1");
  sSkinManager1->SetSkinDirectory("c:\\Skins");
  sSkinManager1->SetSkinInfo("N/A");
  sSkinManager1->MenuSupport()->SetIcoLineSkin("ICOLINE");
  sSkinManager1->MenuSupport()->ExtraLineFont()->Assign(MakeFont(clWindowText, 0));
  for (int32_t i = 0; i < acThirdCount; ++i)
    sSkinManager1->ThirdParty()->SetText(i, i == tpButton ? "TButton" : " ");
}

std::string TMain_Form::TargetPath() const {
  return FTempDir + kTargetName;
}

void TMain_Form::FormCreate(TObject*) {
  FTempDir = GetTempDirectory();
  Gauge->SetVisible(false);
  size->SetCaption("");
  run->SetCaption("");
  try {
    if (IsWow64())
      Nx1->Font()->SetStyle(Nx1->Font()->Style() | fsBold);
    else
      Nx2->Font()->SetStyle(fsBold);
  } catch (...) {
    // The bold caption is a hint only; creation goes on without it.
  }
}

void TMain_Form::FormKeyPress(TObject*, char& Key) {
  if (Key == 27) FAbort = true;
}

void TMain_Form::bcloseClick(TObject*) {
  FAbort = true;
  Close();
}

void TMain_Form::Nx1Click(TObject* Sender) {
  const auto* button = dynamic_cast<TComponent*>(Sender);
  if (Tag() != 0 || !button) return;
  Gauge->SetVisible(true);
  StartDownload(button->Tag());
}

void TMain_Form::StartDownload(int32_t Kind) {
  const std::string target = TargetPath();
  const std::string address = PackageUrl(Kind);
  SetTag(1);
  Gauge->SetProgress(0);
  FAbort = false;
  Gauge->SetForeColor(kRunningColor);
  size->SetCaption(MegabyteText(0));
  run->SetCaption(MegabyteText(0));
  // Only a file this attempt's own transfer wrote in full may be launched: a file
  // left at the target path by someone else must never be started.
  bool written = false;
  try {
    const int32_t length = QueryContentLength(address);
    Gauge->SetMaxValue(length);  // refuses -1 (no length) by raising
    size->SetCaption(MegabyteText(Gauge->MaxValue()));
    written = DownloadToFile(address, target);
  } catch (...) {
    // Whatever failed, the file on disk decides what the user sees.
  }
  SetTag(0);

  const bool exists = platform::FileExists(target);
  auto fail = [this](const char* Message) {
    Gauge->SetForeColor(kFailureColor);
    size->SetCaption(Utf8ToAnsi(Message));
  };
  if (FAbort) {
    if (exists) platform::RemoveFile(target);
    fail("Прервано");
  } else if (!exists) {
    fail("Файл не найден");
  } else if (written && FileSizeOf(AnsiToWide(target)) == static_cast<int64_t>(Gauge->MaxValue())) {
    const uintptr_t window = NativeWindow() ? NativeWindow()->Handle() : 0;
    if (g_shellOpen)
      g_shellOpen(window, target);
    else
      platform::ShellOpen(window, target);
    Close();
  } else {
    platform::RemoveFile(target);
    fail("Ошибка размера");
  }
}

bool TMain_Form::DownloadToFile(const std::string& Url, const std::string& Path) {
  // The reader is made first and goes last, so the file is closed before it.
  auto reader = platform::OpenUrl(platform::ExecutableName(), Url);
  TTargetFile file(Path);
  static char buffer[kPieceSize];
  uint32_t count = 1;
  // The label's text changes only with the hundredths; between changes the
  // assignment would be of the same text, which the label ignores anyway.
  int64_t shown = -1;
  while (count != 0 && !FAbort) {
    count = reader->Read(buffer, kPieceSize);
    file.Write(buffer, count);
    const int64_t progress = static_cast<int64_t>(Gauge->Progress()) + count;
    Gauge->SetProgress(static_cast<int32_t>(progress > std::numeric_limits<int32_t>::max()
                                                ? std::numeric_limits<int32_t>::max()
                                                : progress));
    if (const int64_t h = HundredthsOf(Gauge->Progress()); h != shown) {
      run->SetCaption(MegabyteText(Gauge->Progress()));
      shown = h;
    }
    Application->ProcessMessages();
  }
  file.Close();
  return true;
}
