#pragma once

// Command ids shared by menus, toolbars, accelerators and handlers. The numbers are part of
// the resource tables in res/tables and must not change.
namespace CommandId {

// Framework commands.
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileClose = 57602;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintPreview = 57609;
inline constexpr int FileRecentFirst = 57616; // "Recent File": entries 57616 .. 57623
inline constexpr int FileRecentLast = 57623;
inline constexpr int EditCopy = 57634;
inline constexpr int EditCut = 57635;
inline constexpr int EditFind = 57636;
inline constexpr int EditPaste = 57637;
inline constexpr int EditRepeat = 57640;
inline constexpr int EditReplace = 57641;
inline constexpr int EditSelectAll = 57642;
inline constexpr int EditUndo = 57643;
inline constexpr int EditRedo = 57644;
inline constexpr int WindowNew = 57648;
inline constexpr int WindowArrange = 57649;
inline constexpr int WindowCascade = 57650;
inline constexpr int WindowTile = 57651;
inline constexpr int AppAbout = 57664;
inline constexpr int AppExit = 57665;
inline constexpr int NextPane = 57680;
inline constexpr int PreviousPane = 57681;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;
// The document windows' own commands, as the window system numbers them.
inline constexpr int WindowCloseActive = 61536;
inline constexpr int WindowNext = 61504;
inline constexpr int WindowPrevious = 61520;

// Tarvo's own commands.
inline constexpr int TipOfTheDay = 114;
inline constexpr int AddJavaSourceFiles = 32771;
inline constexpr int RemoveFile = 32772;
inline constexpr int SetAsMain = 32773;
inline constexpr int Compile = 32774;
inline constexpr int Preferences = 32775;
inline constexpr int RunApplication = 32776;
inline constexpr int Properties = 32777;
inline constexpr int RefreshFunctionList = 32778;
inline constexpr int RunApplet = 32780;
inline constexpr int IncreaseIndent = 32784;
inline constexpr int DecreaseIndent = 32785;
inline constexpr int ShowCompilerOutput = 32788;
inline constexpr int NewProject = 32789;
inline constexpr int SaveAll = 32791;
inline constexpr int ShowArchiveContents = 32792;
inline constexpr int Font = 32793;
inline constexpr int AddHtmlFile = 32796;
inline constexpr int AddWindowToProject = 32797;
inline constexpr int ConvertLinebreaks = 32799;
inline constexpr int Open = 32800;
inline constexpr int Build = 32803;
inline constexpr int CreateJar = 32808;
inline constexpr int InsertApplet = 32809;
inline constexpr int OpenInWebBrowser = 32810;
inline constexpr int SyntaxColourUpdate = 32811;
inline constexpr int ShowProjectWindow = 32814;
inline constexpr int RunWithConsole = 32817;
inline constexpr int Help = 32818;
inline constexpr int GoToLine = 32819;
inline constexpr int ViewLineNumbers = 32840;
inline constexpr int NextMessage = 32841;
inline constexpr int PreviousMessage = 32842;
inline constexpr int StopRun = 32843;
inline constexpr int RenameFile = 32844;
inline constexpr int AddFolder = 32860;
inline constexpr int FindInFiles = 32861;
inline constexpr int RunSettings = 32862;
inline constexpr int Libraries = 32863;
// The debugger's commands.
inline constexpr int DebugApplication = 32870;
inline constexpr int ToggleBreakpoint = 32871;
inline constexpr int DebugContinue = 32872;
inline constexpr int StepOver = 32873;
inline constexpr int StepInto = 32874;
inline constexpr int StepOut = 32875;
inline constexpr int StopDebugging = 32876;
inline constexpr int RecentProjects = 65535;

} // namespace CommandId

// Ids of menu bars, accelerator tables, toolbars and strings in res/tables.
namespace ResourceId {

inline constexpr int MainFrame = 128;   // main menu, main accelerators, file toolbar
inline constexpr int JavaSource = 129;  // source windows
inline constexpr int JavaProject = 130; // project window
inline constexpr int Html = 131;        // HTML windows
inline constexpr int BuildToolbar = 139;

inline constexpr int AppTitle = 57344;
inline constexpr int TipPrompt = 114;
inline constexpr int TipMenuText = 115;
inline constexpr int TipHeading = 116;
inline constexpr int TipsMissing = 117;
inline constexpr int TipsTrouble = 118;
inline constexpr int HelpMenuTitle = 119;

} // namespace ResourceId
