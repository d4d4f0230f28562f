// The program's only window and the download attempt it runs.
//
// A click on either option button starts one attempt on the GUI thread: a HEAD
// request for the package's length, the transfer into the temporary directory
// with progress on the gauge and the two labels, then either the shell's "open"
// of the file and the window's close, or a short message. Esc and the close
// button abort a running transfer between two pieces; clicks during an attempt
// are ignored (the window's Tag is 1 meanwhile).
//
// Texts are code page 1251. The download server, the shell launch, the decimal
// separator and the temporary directory can be replaced (tests point them at
// loopback servers and record launches instead of starting programs).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/panel/NxCollection.h"
#include "controls/skin/sGauge.h"
#include "controls/skin/sLabel.h"
#include "controls/skin/sSkinManager.h"
#include "controls/skin/sSpeedButton.h"
#include "framework/Form.h"

class TMain_Form : public TForm {
 public:
  explicit TMain_Form(TComponent* AOwner);
  const char* ClassName() const override { return "TMain_Form"; }

  // Declared in the order of the stored layout; all owned by the window.
  TNxHeaderPanel* NxHeaderPanel3 = nullptr;
  TsSpeedButton* bclose = nullptr;
  TNxButton* Nx1 = nullptr;
  TsLabel* run = nullptr;
  TsGauge* Gauge = nullptr;
  TsLabel* size = nullptr;
  TNxButton* Nx2 = nullptr;
  TsSkinManager* sSkinManager1 = nullptr;

  void FormCreate(TObject* Sender);
  // Esc (27) asks a running transfer to stop; the key is passed on unchanged.
  void FormKeyPress(TObject* Sender, char& Key);
  void bcloseClick(TObject* Sender);
  // Shared by both option buttons: starts an attempt for the Sender's Tag unless
  // one is running.
  void Nx1Click(TObject* Sender);

  // One download attempt: Kind 1 is the 64-bit package, 2 the 32-bit one.
  void StartDownload(int32_t Kind);

  bool AbortRequested() const { return FAbort; }
  // The temporary directory captured at creation, with its trailing separator.
  const std::string& TempDir() const { return FTempDir; }
  // Where an attempt stores the package.
  std::string TargetPath() const;

 private:
  // Reads Url into the file at Path, piece by piece, until the data ends or an
  // abort is asked for. Raises EFileError when the file cannot be created,
  // written or closed. True when the loop ended and the file was closed.
  bool DownloadToFile(const std::string& Url, const std::string& Path);
  void CreateControls();

  bool FAbort = false;
  std::string FTempDir;
};

// A failure to create, write or close the target file.
class EFileError : public Exception {
  using Exception::Exception;
};

// The length the server announces for Url with a HEAD request, or -1 when the
// response has no usable Content-Length. Raises what the HTTP client raises.
int32_t QueryContentLength(const std::string& Url);

// X rounded to the position 10^Digits, half up on the 15-digit decimal text of
// the scaled value (so 1.005 gives 1.01 for Digits -2); negative values are cut
// toward zero.
double RoundToDecimals(int32_t Digits, double X);

// The general number text: at most 15 significant digits, trailing zeros
// dropped, the exponent form below 0.0001 and from 10^15 on, the given decimal
// separator, no thousands separator.
std::string FloatToGeneralText(long double Value, char Separator);

// "<megabytes> МБ" (code page 1251) of a byte count: hundredths, half up, with
// the current decimal separator.
std::string MegabyteText(int64_t Bytes);

// The decimal separator of the number texts: the user's locale unless set;
// 0 goes back to the locale's.
char DecimalSeparator();
void SetDecimalSeparator(char Separator);

// host[:port] of the download server: the build's DOWNLOAD_HOST unless set;
// an empty value goes back to the build's.
std::string DownloadHost();
void SetDownloadHost(const std::string& HostAndPort);
// The package's address for an option button's Tag (1 or 2); empty otherwise.
std::string PackageUrl(int32_t Kind);

// How the downloaded file is opened: the shell's "open" unless set; an empty
// function goes back to the shell.
using TShellOpenFunc = std::function<void(uintptr_t Window, const std::string& Path)>;
void SetShellOpen(TShellOpenFunc Open);

// The user's temporary directory with its trailing separator; empty when the
// system has none. A non-empty override replaces the system's.
std::string GetTempDirectory();
void SetTempDirectoryOverride(const std::string& Dir);

// True when this 32-bit process runs on 64-bit Windows.
bool IsWow64();
