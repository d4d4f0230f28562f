#include "controls/skin/sSkinManager.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/MessageBox.h"

namespace {

TsSkinManager* gDefaultManager = nullptr;
TsSkinLoader gSkinLoader;
// Every system this program runs on is of the NT family; the start-up step
// confirms it.
bool gNTFamily = true;
// Rejects a second request that arrives while one is being copied.
bool gTakingRequest = false;

const char* const kSkinDirectoryDefault = "c:\\Skins";

uint32_t ReadLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// A NUL-terminated text inside a fixed field; a field without NUL ends at its size.
std::string FieldText(const std::vector<uint8_t>& buf, size_t offset, size_t size) {
  const char* p = reinterpret_cast<const char*>(buf.data() + offset);
  return std::string(p, strnlen(p, size));
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find('\n', start);
    std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  if (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

}  // namespace

void SetSkinLoader(TsSkinLoader Loader) {
  gSkinLoader = std::move(Loader);
}

bool acIsNTFamily() {
  return gNTFamily;
}

std::string TacThirdPartyList::DefaultText(int32_t Index) {
  return Index == tpButton ? "TButton" : " ";
}

// ---------------------------------------------------------------- TsSkinManager

TsSkinManager* TsSkinManager::DefaultManager() {
  return gDefaultManager;
}

TsSkinManager::TsSkinManager(TComponent* AOwner)
    : TComponent(AOwner), FRequest(acSkinRequestSize, 0) {
  if (!gDefaultManager) {
    gDefaultManager = this;
    Hook();
  }
  // After construction: the class lists and the skin folder get their defaults.
  for (int32_t i = 0; i < acThirdCount; ++i)
    FThirdParty.SetText(i, TacThirdPartyList::DefaultText(i));
  RebuildThirdLists();
  if (FSkinDirectory.empty()) FSkinDirectory = kSkinDirectoryDefault;
}

TsSkinManager::~TsSkinManager() {
  MarkDestroying();
  FActive = false;
  FSections.clear();
  FSkinLoaded = false;
  FInternalSkins.clear();
  // The hook goes with the manager that holds it, default or not, so no hook
  // outlives its manager.
  Unhook();
  if (gDefaultManager == this) gDefaultManager = nullptr;
  for (int32_t i = 0; i < acThirdCount; ++i) {
    std::string text;
    for (const std::string& s : FThirdLists[i]) text += s + "\n";
    if (!text.empty()) text.pop_back();
    FThirdParty.SetText(i, text);
  }
}

void TsSkinManager::Hook() {
  if (FHooked || !acIsNTFamily() || (ComponentState() & csDesigning) || !Application) return;
  Application->HookMainWindow([this](TMessage& m) { return MainWindowHook(m); }, this);
  FHooked = true;
}

void TsSkinManager::Unhook() {
  if (!FHooked) return;
  if (Application) Application->UnhookMainWindow(this);
  FHooked = false;
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (FSkinDirectory.empty()) FSkinDirectory = kSkinDirectoryDefault;
  if (FMenuSupport.IcoLineSkin().empty()) FMenuSupport.SetIcoLineSkin("ICOLINE");
  RebuildThirdLists();
  if (FActive && !FSkinName.empty()) UpdateSkin();
  if (OnActivate && FActive && !(ComponentState() & csDesigning)) OnActivate(this);
}

void TsSkinManager::RebuildThirdLists() {
  for (int32_t i = 0; i < acThirdCount; ++i) {
    if (FThirdParty.Text(i).empty()) FThirdParty.SetText(i, TacThirdPartyList::DefaultText(i));
    FThirdLists[i] = SplitLines(FThirdParty.Text(i));
  }
}

std::string TsSkinManager::SkinInfo() const {
  if (!FSkinLoaded) return "N/A";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", FSkinVersion);
  std::string s = buf;
  std::replace(s.begin(), s.end(), ',', '.');
  return s;
}

void TsSkinManager::SetActive(bool v) {
  if (v == FActive) return;
  FActive = v;
  if (Loading() || Destroying()) return;
  if (v) {
    if (!FSkinName.empty()) UpdateSkin();
    if (OnActivate && !(ComponentState() & csDesigning)) OnActivate(this);
  } else if (!FSkinName.empty()) {
    RemoveSkin();
    if (OnDeactivate) OnDeactivate(this);
  }
}

void TsSkinManager::SetSkinName(const std::string& v) {
  if (v == FSkinName) return;
  FSkinName = v;
  if (FActive && !Loading()) UpdateSkin();
}

void TsSkinManager::SetSkinDirectory(const std::string& v) {
  if (v == FSkinDirectory) return;
  FSkinDirectory = v;
  if (OnSkinListChanged) OnSkinListChanged(this);
}

void TsSkinManager::SetIsDefault(bool v) {
  if (!v && gDefaultManager) return;
  if (gDefaultManager != this) {
    // The hook follows the default manager.
    if (gDefaultManager) gDefaultManager->Unhook();
    gDefaultManager = this;
    Hook();
  }
  if (FActive)
    UpdateSkin();
  else
    RemoveSkin();
}

int32_t TsSkinManager::GetSkinIndex(const std::string& Name) const {
  if (Name.empty()) return -1;
  for (size_t i = 0; i < FSections.size(); ++i)
    if (FSections[i].ClassName == Name) return static_cast<int32_t>(i);
  return -1;
}

void TsSkinManager::UpdateSkin() {
  if (FSkinName.empty()) return;
  LoadSkin({FSkinDirectory, FSkinName, {}, false});
}

void TsSkinManager::LoadSkin(const TsSkinSource& Source) {
  if (!gSkinLoader) return;  // no skinning engine: nothing loads
  if (OnBeforeChange) OnBeforeChange(this);
  TsLoadedSkin skin;
  if (!gSkinLoader(Source, skin)) return;
  FSections = std::move(skin.Sections);
  FSkinVersion = skin.Version;
  FSkinLoaded = true;
  SendToForms(ac_SetNewSkin, false);
  if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::RemoveSkin() {
  const bool had = FSkinLoaded;
  FSections.clear();
  FSkinLoaded = false;
  if (had) SendToForms(ac_RemoveSkin, false);
}

void TsSkinManager::SendToForms(uint16_t Command, bool WithWindowOnly) {
  if (!Application) return;
  for (TForm* f : std::vector<TForm*>(Application->Forms())) {
    if (WithWindowOnly && !f->HandleAllocated()) continue;
    f->Perform(SM_SKINCOMMAND, SkinCommand(Command), reinterpret_cast<intptr_t>(this));
  }
}

void TsSkinManager::ApplyRequest() {
  if (ReadLE32(FRequest.data()) != acSkinRequestMagic) return;
  const std::string name = FieldText(FRequest, acRequestNameOffset, acRequestNameSize);
  const std::string dir = FieldText(FRequest, acRequestDirOffset, acRequestDirSize);
  const std::string options = FieldText(FRequest, acRequestOptionsOffset, acRequestOptionsSize);
  // Taken once: a second posted command finds nothing to apply.
  std::fill(FRequest.begin(), FRequest.begin() + 4, 0);
  SetSkinDirectory(dir);
  FSkinName = name;
  if (FActive) LoadSkin({dir, name, options, true});
}

bool TsSkinManager::MainWindowHook(TMessage& Message) {
  switch (Message.Msg) {
    case WM_COPYDATA: {
      if (Message.Result != 0 || gTakingRequest || Message.LParam == 0 ||
          Message.WParam != acSkinRequestParam)
        return false;
      const auto* cds = reinterpret_cast<const TacCopyDataStruct*>(Message.LParam);
      // The block must at least hold the magic; a shorter block than the full
      // request is taken as far as it goes and the rest reads as zeros, so no
      // byte beyond the sender's data is ever read.
      if (!cds->lpData || cds->cbData < 4) return false;
      const auto* data = static_cast<const uint8_t*>(cds->lpData);
      if (ReadLE32(data) != acSkinRequestMagic) return false;
      gTakingRequest = true;
      const size_t n = std::min<size_t>(cds->cbData, acSkinRequestSize);
      std::memcpy(FRequest.data(), data, n);
      std::fill(FRequest.begin() + n, FRequest.end(), 0);
      gTakingRequest = false;
      if (Application)
        Application->PostAppMessage(SM_SKINCOMMAND, SkinCommand(ac_ApplySkinRequest));
      Message.Result = 1;
      return true;
    }
    case SM_SKINCOMMAND:
      if (SkinCommandOf(Message.WParam) != ac_ApplySkinRequest ||
          ReadLE32(FRequest.data()) != acSkinRequestMagic)
        return false;
      ApplyRequest();
      return true;
    case WM_THEMECHANGED:
      return true;
    case CM_ACTIVATE:
      SendToForms(ac_Reset, true);
      return false;
    default:
      return false;
  }
}

// ---------------------------------------------------------------- start-up

void sSkinLibraryStartup(const std::vector<std::string>& Args) {
  // The other start-up work (images, hint template, shell icons, platform entry
  // points) serves the skinning engine only and is not done here.
  gNTFamily = true;
  for (const std::string& a : Args) {
    std::string low = a;
    for (char& ch : low) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (low != "/luver") continue;
    if (Application)
      Application->MessageBox("Lumora v9.14");
    else
      platform::ShowMessageBox(u"", u"Lumora v9.14");
    break;
  }
}
