#pragma once

// The main window's controls, by the identifiers the studio's manuals and
// the layout use.
namespace ControlId {
enum : int {
    TemplateTitle = 1107,   // "模板区"
    ShowTree = 1286,        // "选模板"
    TemplateManager = 1289, // "模板管理"
    TemplateList = 1271,
    TemplateTree = 1247,
    HideTree = 1291,     // "选中"
    PhotoTitle = 1145,   // "客照区"
    ImportPhotos = 1287, // "调入照片"
    RemovePhoto = 1340,  // "删除"
    ClearPhotos = 1337,  // "清空"
    ImportChosen = 1342, // "调入选中照片": the photos the customer chose on the phone
    PhotoList = 1014,
    CanvasTitle = 1147, // "套版区"
    SizeLabel = 1149,
    Canvas = 1294,
    RandomTemplate = 1279, // "随机模板"
    OpenDrawnSet = 1280,   // "选中此套"
    RandomPhotos = 1281,   // "随机客片"
    SmartSelect = 1292,    // "智能筛选"
    LockPortrait = 1052,   // "锁定人像位置"
    Tasks = 1278,          // "任务"
    OrderList = 1297,
    Dpi = 1283,           // "DPI"
    FinishedTitle = 1146, // "成品区"
    Preview = 1290,       // "预览"
    SavePage = 1276,      // "保存"
    DeletePage = 1282,    // "删除"
    Output = 1277,        // "输出"
    FinishedList = 1013,
    // Never shown: their commands cannot be given.
    OpenSeries = 1288,        // "打开套系"
    DeletePhotoHidden = 1341, // "删除照片"
    DeleteAllHidden = 1338,   // "全部删除"
    UnnamedButton = 1293,
    FindCombo = 1130,
    HiddenList = 1272,
    HiddenLabel = 1148,
    FindLabel = 1231, // "查找客人: ..."
};
} // namespace ControlId
