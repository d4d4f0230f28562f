// The skin manager at rest: stored values, the default manager and its hook on
// the application window, the skin change request, the skinned test.
#include <cstring>
#include <vector>

#include "controls/skin/sGauge.h"
#include "controls/skin/sLabel.h"
#include "controls/skin/sSpeedButton.h"
#include "platform/AppWindow.h"
#include "platform/MessageBox.h"
#include "skin_fixture.h"

namespace {

// Delivers a message to the application window as another process would.
bool Deliver(uint32_t msg, uintptr_t wp, intptr_t lp, intptr_t* result = nullptr) {
  intptr_t r = 0;
  const bool handled = platform::DeliverAppWindowMessage(msg, wp, lp, r);
  if (result) *result = r;
  return handled;
}

std::vector<uint8_t> Request(uint32_t magic, const char* name, const char* dir, const char* options,
                             size_t size = acSkinRequestSize) {
  std::vector<uint8_t> b(acSkinRequestSize, 0);
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(magic >> (8 * i));
  std::memcpy(&b[acRequestNameOffset], name, std::strlen(name));
  std::memcpy(&b[acRequestDirOffset], dir, std::strlen(dir));
  std::memcpy(&b[acRequestOptionsOffset], options, std::strlen(options));
  b.resize(size);
  return b;
}

// Records the skin commands it hears.
class Listener : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::vector<std::pair<uint16_t, intptr_t>> heard;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_SKINCOMMAND) heard.emplace_back(SkinCommandOf(m.WParam), m.LParam);
    TGraphicControl::WndProc(m);
  }
};

class ManagerTest : public SkinFixture {
 protected:
  // The window's manager, created from its stored values.
  TsSkinManager* LoadManager() {
    form->BeginLoading();
    auto* sm = new TsSkinManager(form);
    sm->SetSkinDirectory("c:\\Skins");
    sm->SetSkinInfo("N/A");
    sm->MenuSupport()->SetIcoLineSkin("ICOLINE");
    for (int32_t i = 0; i < acThirdCount; ++i) sm->ThirdParty()->SetText(i, " ");
    sm->ThirdParty()->SetThirdButtons("TButton");
    form->FinishCreation();
    return sm;
  }
};

TEST_F(ManagerTest, StoredValuesAndDefaultsAfterLoading) {
  TsSkinManager* sm = LoadManager();
  EXPECT_TRUE(sm->Active());
  EXPECT_TRUE(sm->IsDefault());
  EXPECT_EQ(TsSkinManager::DefaultManager(), sm);
  EXPECT_EQ(sm->SkinName(), "");
  EXPECT_EQ(sm->SkinDirectory(), "c:\\Skins");
  EXPECT_EQ(sm->SkinInfo(), "N/A");
  EXPECT_EQ(sm->Version(), "9.14");
  EXPECT_EQ(sm->MenuSupport()->IcoLineSkin(), "ICOLINE");
  EXPECT_EQ(sm->MenuSupport()->AlphaBlend(), 255);
  EXPECT_EQ(sm->MenuSupport()->ExtraLineWidth(), 32);
  EXPECT_FALSE(sm->SkinLoaded());
  EXPECT_EQ(sm->SectionCount(), 0);
  EXPECT_TRUE(sm->SkinnedPopups());
  EXPECT_EQ(sm->Options()->StdGlyphsOrder(), false);
  EXPECT_EQ(sm->ScrollsOptions()->ScrollSize(), -1);
  EXPECT_EQ(sm->SkinnedMenus()->BorderWidth(), 3);
  for (int32_t i = 0; i < acThirdCount; ++i) {
    const std::string expected = i == tpButton ? "TButton" : " ";
    EXPECT_EQ(sm->ThirdParty()->Text(i), expected) << i;
    EXPECT_EQ(sm->ThirdList(i), std::vector<std::string>{expected}) << i;
  }
}

TEST_F(ManagerTest, EmptyStoredValuesGetTheirDefaultsAtLoad) {
  form->BeginLoading();
  auto* sm = new TsSkinManager(form);
  sm->SetSkinDirectory("");
  sm->ThirdParty()->SetThirdEdits("");
  sm->ThirdParty()->SetThirdButtons("");
  sm->ThirdParty()->SetThirdGrids("TGridA\nTGridB");
  form->FinishCreation();
  EXPECT_EQ(sm->SkinDirectory(), "c:\\Skins");
  EXPECT_EQ(sm->MenuSupport()->IcoLineSkin(), "ICOLINE");
  EXPECT_EQ(sm->ThirdParty()->ThirdEdits(), " ");
  EXPECT_EQ(sm->ThirdParty()->ThirdButtons(), "TButton");
  EXPECT_EQ(sm->ThirdList(tpGrid), (std::vector<std::string>{"TGridA", "TGridB"}));
}

TEST_F(ManagerTest, NoSkinLeavesEveryControlUnskinnedAndCallsNoSkinEvents) {
  int events = 0;
  form->BeginLoading();
  auto* sm = new TsSkinManager(form);
  sm->OnBeforeChange = sm->OnAfterChange = sm->OnSkinLoading = [&](TObject*) { ++events; };
  auto* g = new TsGauge(form);
  g->SetParent(form);
  auto* b = new TsSpeedButton(form);
  b->SetParent(form);
  b->SkinData()->SetSkinSection("anything");
  form->FinishCreation();
  EXPECT_EQ(events, 0);
  EXPECT_FALSE(g->SkinData()->Skinned());
  EXPECT_FALSE(b->SkinData()->Skinned());
  EXPECT_EQ(b->SkinData()->SkinSection(), "ANYTHING");
  EXPECT_EQ(g->SkinData()->SkinIndex, -1);
  EXPECT_EQ(g->SkinData()->SkinManager(), sm);
}

TEST_F(ManagerTest, SecondManagerIsNotDefaultAndInstallsNoHook) {
  auto* first = new TsSkinManager(form);
  auto* second = new TsSkinManager(form);
  EXPECT_TRUE(first->IsDefault());
  EXPECT_FALSE(second->IsDefault());
  EXPECT_TRUE(Deliver(WM_THEMECHANGED, 0, 0));
  delete first;  // removes the only hook
  EXPECT_EQ(TsSkinManager::DefaultManager(), nullptr);
  EXPECT_FALSE(Deliver(WM_THEMECHANGED, 0, 0));
  auto* third = new TsSkinManager(form);
  EXPECT_TRUE(third->IsDefault());
  EXPECT_TRUE(Deliver(WM_THEMECHANGED, 0, 0));
  delete third;
  delete second;
  EXPECT_FALSE(Deliver(WM_THEMECHANGED, 0, 0));
}

TEST_F(ManagerTest, DefaultMovedElsewhereTakesTheHookAlong) {
  auto* first = new TsSkinManager(form);
  auto* second = new TsSkinManager(form);
  second->SetIsDefault(true);
  EXPECT_EQ(TsSkinManager::DefaultManager(), second);
  delete first;  // its hook went with the default role; nothing dangles
  EXPECT_TRUE(Deliver(WM_THEMECHANGED, 0, 0));
  second->SetIsDefault(false);  // still the default: nothing
  EXPECT_TRUE(second->IsDefault());
}

TEST_F(ManagerTest, SkinChangeRequestIsTakenAndAppliedFromThePostedCommand) {
  TsSkinManager* sm = LoadManager();
  TsSkinSource seen;
  int loads = 0;
  SetSkinLoader([&](const TsSkinSource& s, TsLoadedSkin&) {
    seen = s;
    ++loads;
    return false;  // nothing loadable: stays at rest
  });
  auto block = Request(0xA400, "Blue Glass", "d:\\My Skins", "[GENERAL]\nVersion=7");
  TacCopyDataStruct cds{0, static_cast<uint32_t>(block.size()), block.data()};
  intptr_t result = 0;
  EXPECT_TRUE(Deliver(WM_COPYDATA, 7, reinterpret_cast<intptr_t>(&cds), &result));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(sm->RequestBuffer(), block);
  // Applied only once the posted command is taken, after the sender is released.
  EXPECT_EQ(loads, 0);
  block.assign(block.size(), 0xEE);
  app->ProcessMessages();
  EXPECT_EQ(loads, 1);
  EXPECT_TRUE(seen.FromRequest);
  EXPECT_EQ(seen.Name, "Blue Glass");
  EXPECT_EQ(seen.Directory, "d:\\My Skins");
  EXPECT_EQ(seen.OptionsText, "[GENERAL]\nVersion=7");
  EXPECT_EQ(sm->SkinDirectory(), "d:\\My Skins");
  EXPECT_EQ(sm->SkinName(), "Blue Glass");
  EXPECT_EQ(sm->SkinInfo(), "N/A");
  // The command is taken once.
  app->SendAppMessage(SM_SKINCOMMAND, SkinCommand(ac_ApplySkinRequest));
  EXPECT_EQ(loads, 1);
}

TEST_F(ManagerTest, OtherCopyDataRequestsAreNotHandled) {
  TsSkinManager* sm = LoadManager();
  int loads = 0;
  SetSkinLoader([&](const TsSkinSource&, TsLoadedSkin&) { return ++loads, false; });
  auto good = Request(0xA400, "X", "Y", "");
  auto wrongMagic = Request(0xA401, "X", "Y", "");
  TacCopyDataStruct ok{0, static_cast<uint32_t>(good.size()), good.data()};
  TacCopyDataStruct magic{0, static_cast<uint32_t>(wrongMagic.size()), wrongMagic.data()};
  TacCopyDataStruct tiny{0, 2, good.data()};
  TacCopyDataStruct noData{0, static_cast<uint32_t>(good.size()), nullptr};
  struct {
    uintptr_t param;
    const TacCopyDataStruct* cds;
  } cases[] = {{6, &ok}, {0, &ok}, {7, &magic}, {7, &tiny}, {7, &noData}, {7, nullptr}};
  for (auto c : cases) {
    intptr_t result = -1;
    EXPECT_FALSE(Deliver(WM_COPYDATA, c.param, reinterpret_cast<intptr_t>(c.cds), &result));
    EXPECT_EQ(result, 0);
  }
  app->ProcessMessages();
  EXPECT_EQ(loads, 0);
  EXPECT_EQ(sm->SkinName(), "");
  EXPECT_EQ(sm->SkinDirectory(), "c:\\Skins");
}

TEST_F(ManagerTest, ShortRequestBlockIsReadOnlyAsFarAsItGoes) {
  TsSkinManager* sm = LoadManager();
  // Magic and name only, then the sender's data ends; guard bytes after it
  // must never be copied.
  auto block = Request(0xA400, "Short", "", "", acRequestNameOffset + 6);
  block.resize(block.size() + 64, 'Z');
  TacCopyDataStruct cds{0, static_cast<uint32_t>(acRequestNameOffset + 6), block.data()};
  EXPECT_TRUE(Deliver(WM_COPYDATA, 7, reinterpret_cast<intptr_t>(&cds)));
  const auto& buf = sm->RequestBuffer();
  ASSERT_EQ(buf.size(), acSkinRequestSize);
  EXPECT_TRUE(std::equal(buf.begin(), buf.begin() + cds.cbData, block.begin()));
  EXPECT_TRUE(std::all_of(buf.begin() + cds.cbData, buf.end(), [](uint8_t b) { return b == 0; }));
  app->ProcessMessages();
  EXPECT_EQ(sm->SkinName(), "Short");
  EXPECT_EQ(sm->SkinDirectory(), "");
}

TEST_F(ManagerTest, ActivationSendsResetToEveryFormWithAWindow) {
  TsSkinManager* sm = LoadManager();
  auto* l = new Listener(form);
  l->SetParent(form);
  TForm* hidden = app->CreateForm<TForm>();
  auto* h = new Listener(hidden);
  h->SetParent(hidden);
  Show();
  platform::InputEvent e;
  e.kind = platform::EventKind::Activate;
  platform::headless::Inject(e, form->NativeWindow());
  app->ProcessMessages();
  ASSERT_EQ(l->heard.size(), 1u);
  EXPECT_EQ(l->heard[0].first, ac_Reset);
  EXPECT_EQ(l->heard[0].second, reinterpret_cast<intptr_t>(sm));
  EXPECT_TRUE(h->heard.empty());
}

TEST_F(ManagerTest, LoadedSectionsDecideTheSkinnedTest) {
  TsSkinManager* sm = LoadManager();
  auto* g = new TsGauge(form);
  g->SetParent(form);
  auto* b = new TsSpeedButton(form);
  b->SetParent(form);
  Show();
  SetSkinLoader([](const TsSkinSource&, TsLoadedSkin& s) {
    s.Sections = {{"GAUGE"}, {"SPEEDBUTTON"}, {"gauge"}, {"GAUGE"}};
    s.Version = 9.5;
    return true;
  });
  sm->SetSkinName("Test");
  EXPECT_TRUE(sm->SkinLoaded());
  EXPECT_EQ(sm->SkinInfo(), "9.5");
  struct {
    const char* name;
    int32_t index;
  } lookups[] = {{"GAUGE", 0}, {"gauge", 2}, {"Gauge", -1}, {"", -1}, {"SPEEDBUTTON", 1}};
  for (auto c : lookups) EXPECT_EQ(sm->GetSkinIndex(c.name), c.index) << c.name;
  EXPECT_TRUE(g->SkinData()->Skinned());
  EXPECT_TRUE(b->SkinData()->Skinned(true));
  sm->SetActive(false);
  EXPECT_FALSE(sm->SkinLoaded());
  EXPECT_FALSE(g->SkinData()->Skinned());
  EXPECT_FALSE(b->SkinData()->Skinned());
  EXPECT_EQ(sm->SkinInfo(), "N/A");
}

TEST_F(ManagerTest, DefaultSectionsByControlType) {
  struct {
    int32_t coc;
    const char* section;
  } cases[] = {{2, "EDIT"},
               {230, "EDIT"},
               {15, "COMBOBOX"},
               {19, "BAR"},
               {34, "SLIDER_OFF"},
               {52, "PANEL_LOW"},
               {92, "SPEEDBUTTON"},
               {94, "BUTTON"},
               {161, "GAUGE"},
               {165, "TRACKBAR"},
               {9, ""}};
  for (auto c : cases) EXPECT_EQ(DefaultSectionOf(c.coc, nullptr), c.section) << c.coc;
  EXPECT_FALSE(CanBeHot(161));
  EXPECT_TRUE(CanBeHot(92));
  // Any other code: the owner's class name.
  TsGauge g(nullptr);
  TsCtrlSkinData data(&g, false);
  data.COC = 9;
  data.Loaded();
  EXPECT_EQ(data.SkinSection(), "TSGAUGE");
}

TEST_F(ManagerTest, LuverArgumentShowsTheLibraryVersion) {
  const int32_t before = platform::headless::LastMessageBox().count;
  sSkinLibraryStartup({"/other", "/LuVer"});
  auto box = platform::headless::LastMessageBox();
  EXPECT_EQ(box.count, before + 1);
  EXPECT_EQ(box.text, u"Lumora v9.14");
  sSkinLibraryStartup({"luver", "/luver2", ""});
  EXPECT_EQ(platform::headless::LastMessageBox().count, before + 1);
}

}  // namespace
