#pragma once
// The numbers of the window system that the wizard's code speaks: messages, notification
// codes, styles, box flags and the property sheet's flags and control ids. The values are
// the ones the dialog templates and message maps of the program are written with.

namespace plat {

// ---- Window messages ------------------------------------------------------
inline constexpr unsigned WM_SETFONT = 0x0030;
inline constexpr unsigned WM_NOTIFY = 0x004E;
inline constexpr unsigned WM_HELP = 0x0053;
inline constexpr unsigned WM_SETICON = 0x0080;
inline constexpr unsigned WM_INITDIALOG = 0x0110;
inline constexpr unsigned WM_COMMAND = 0x0111;
inline constexpr unsigned WM_TIMER = 0x0113;

// ---- Control notifications (high word of WM_COMMAND's wParam) -------------
inline constexpr unsigned BN_CLICKED = 0;
inline constexpr unsigned EN_SETFOCUS = 0x0100;
inline constexpr unsigned EN_KILLFOCUS = 0x0200;
inline constexpr unsigned EN_CHANGE = 0x0300;

// ---- Control messages -----------------------------------------------------
inline constexpr unsigned BM_GETCHECK = 0x00F0;
inline constexpr unsigned BM_SETCHECK = 0x00F1;
inline constexpr unsigned EM_SETSEL = 0x00B1;
inline constexpr unsigned EM_SCROLLCARET = 0x00B7;
inline constexpr unsigned EM_REPLACESEL = 0x00C2;
inline constexpr unsigned EM_SETREADONLY = 0x00CF;
inline constexpr unsigned WM_GETTEXTLENGTH = 0x000E;
inline constexpr unsigned PBM_SETRANGE = 0x0401;
inline constexpr unsigned PBM_SETPOS = 0x0402;
inline constexpr unsigned PBM_GETPOS = 0x0408;

inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;
inline constexpr int BST_INDETERMINATE = 2;

// ---- Property sheet -------------------------------------------------------
inline constexpr unsigned PSM_SETCURSELID = 0x0400 + 114;
inline constexpr unsigned PSM_SETWIZBUTTONS = 0x0400 + 112;
inline constexpr unsigned PSM_GETCURRENTPAGEHWND = 0x0400 + 118;
inline constexpr unsigned PSM_PRESSBUTTON = 0x0400 + 113;

inline constexpr int PSN_SETACTIVE = -200;
inline constexpr int PSN_KILLACTIVE = -201;
inline constexpr int PSN_APPLY = -202;
inline constexpr int PSN_RESET = -203;
inline constexpr int PSN_HELP = -205;
inline constexpr int PSN_WIZBACK = -206;
inline constexpr int PSN_WIZNEXT = -207;
inline constexpr int PSN_WIZFINISH = -208;
inline constexpr int PSN_QUERYCANCEL = -209;
inline constexpr int PSN_TRANSLATEACCELERATOR = -212;
inline constexpr int PSN_QUERYINITIALFOCUS = -213;

inline constexpr unsigned PSWIZB_BACK = 1;
inline constexpr unsigned PSWIZB_NEXT = 2;
inline constexpr unsigned PSWIZB_FINISH = 4;
inline constexpr unsigned PSWIZB_DISABLEDFINISH = 8;

// PSM_PRESSBUTTON's buttons.
inline constexpr int PSBTN_BACK = 0;
inline constexpr int PSBTN_NEXT = 1;
inline constexpr int PSBTN_FINISH = 2;
inline constexpr int PSBTN_CANCEL = 5;
inline constexpr int PSBTN_HELP = 6;

inline constexpr unsigned PSH_WIZARD = 0x00000020;
inline constexpr unsigned PSH_USECALLBACK = 0x00000100;
inline constexpr unsigned PSH_HASHELP = 0x00000200;
inline constexpr unsigned PSH_MODELESS = 0x00000400;
inline constexpr unsigned PSH_WIZARD97 = 0x01000000;
inline constexpr unsigned PSH_WATERMARK = 0x00008000;
inline constexpr unsigned PSH_USEHBMWATERMARK = 0x00010000;
inline constexpr unsigned PSH_HEADER = 0x00080000;
inline constexpr unsigned PSH_USEHBMHEADER = 0x00100000;
inline constexpr unsigned PSH_STRETCHWATERMARK = 0x00040000;

inline constexpr unsigned PSP_HASHELP = 0x00000020;
inline constexpr unsigned PSP_USECALLBACK = 0x00000080;
inline constexpr unsigned PSP_HIDEHEADER = 0x00000800;
inline constexpr unsigned PSP_USEHEADERTITLE = 0x00001000;
inline constexpr unsigned PSP_USEHEADERSUBTITLE = 0x00002000;

inline constexpr int PSCB_INITIALIZED = 1;

// The sheet's own controls.
inline constexpr int ID_PSBACK = 0x3023;
inline constexpr int ID_PSNEXT = 0x3024;
inline constexpr int ID_PSFINISH = 0x3025;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDHELP = 9;

// ---- Dialog results -------------------------------------------------------
inline constexpr int IDOK = 1;
inline constexpr int IDABORT = 3;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// ---- Message boxes --------------------------------------------------------
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFMASK = 0xF00;

// ---- Window and control styles --------------------------------------------
inline constexpr unsigned WS_TABSTOP = 0x00010000;
inline constexpr unsigned WS_GROUP = 0x00020000;
inline constexpr unsigned WS_VSCROLL = 0x00200000;
inline constexpr unsigned WS_BORDER = 0x00800000;
inline constexpr unsigned WS_DISABLED = 0x08000000;
inline constexpr unsigned WS_VISIBLE = 0x10000000;

inline constexpr unsigned BS_PUSHBUTTON = 0x0;
inline constexpr unsigned BS_DEFPUSHBUTTON = 0x1;
inline constexpr unsigned BS_CHECKBOX = 0x2;
inline constexpr unsigned BS_AUTOCHECKBOX = 0x3;
inline constexpr unsigned BS_GROUPBOX = 0x7;
inline constexpr unsigned BS_AUTORADIOBUTTON = 0x9;
inline constexpr unsigned BS_TYPEMASK = 0xF;

inline constexpr unsigned ES_MULTILINE = 0x0004;
inline constexpr unsigned ES_PASSWORD = 0x0020;
inline constexpr unsigned ES_AUTOHSCROLL = 0x0080;
inline constexpr unsigned ES_READONLY = 0x0800;

inline constexpr unsigned SS_LEFT = 0x0;
inline constexpr unsigned SS_CENTER = 0x1;
inline constexpr unsigned SS_ICON = 0x3;
inline constexpr unsigned SS_TYPEMASK = 0x1F;

inline constexpr unsigned PBS_SMOOTH = 0x1;

// The system's stock icons.
inline constexpr int IDI_ERROR = 32513;

// ---- ShowWindow -----------------------------------------------------------
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWDEFAULT = 10;

// ---- Help -----------------------------------------------------------------
inline constexpr unsigned HH_DISPLAY_TOPIC = 0x0000;
inline constexpr unsigned HH_HELP_CONTEXT = 0x000F;

// ---- File dialogs ---------------------------------------------------------
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x00001000;

inline constexpr int MAX_PATH = 260;

} // namespace plat
