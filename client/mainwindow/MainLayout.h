#pragma once

#include <QString>

// The main window's frame arrangement, kept apart from the widgets so that the
// arithmetic can be checked on its own. Everything is in twips, single
// precision, exactly as the window was designed.
namespace layout {

// One control's place relative to its container. Width and height refuse a
// negative value: the assignment is skipped and the old value stays.
struct Geometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool visible = true;

    void setWidth(float value);
    void setHeight(float value);
};

struct Controls {
    Geometry FrameMain;
    Geometry FrameBbs;
    Geometry FrameTonghang;
    Geometry FrameTeam;
    Geometry FrameTourist;
    Geometry FrameTouristAll;
    Geometry FrameAd;
    Geometry WebBrowserMain;
    Geometry WebBrowserBbs;
    Geometry WebBrowserCom;
    Geometry WebBrowserTeam;
};

inline const QString ConversationOpen = QStringLiteral("对话开");
inline const QString ConversationClose = QStringLiteral("对话关");
inline const QString PanelsOpen = QStringLiteral("面板开");
inline const QString PanelsClose = QStringLiteral("面板关");

// The panel state lives in the controls the user sees: two menu ticks, the
// captions of toolbar buttons 16 and 17, and one enabled state shared by
// button 17, the menu items SysBbs and SysTonghang, Command1 and Command2.
struct PanelState {
    bool sysBbsChecked = true;
    bool sysTonghangChecked = true;
    QString button16Caption = ConversationOpen;
    QString button17Caption = PanelsClose;
    bool panelControlsEnabled = true;
};

class MainLayout {
public:
    // The window as its load handler leaves it: 12000 x 8800, both panels
    // shown, reserves taken from the designed frames, laid out once.
    MainLayout();

    // The window's outer size; the window reports it before each Form_Resize.
    void setWindowSize(float width, float height);
    float windowWidth() const { return W; }
    float windowHeight() const { return H; }

    void Form_Resize();
    void SysBbs_Click();
    void SysTonghang_Click();
    void bothPanelsToggle();        // toolbar button 17
    void conversationWidthToggle(); // toolbar button 16 and ToolsBbs

    const Controls& controls() const { return c; }
    const PanelState& panels() const { return state; }
    float MainWidthReserve = 0;
    float MainHeightReserve = 0;

    bool wideConversation() const { return state.button16Caption == ConversationClose; }

private:
    void showBbs(bool shown);
    void showTonghang(bool shown);

    Controls c;
    PanelState state;
    float W = 12000;
    float H = 8800;
};

} // namespace layout
