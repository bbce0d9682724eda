#pragma once

#include <QtGlobal>

// Interface texts of the window, kept together so they are written once. They are the source
// texts of the translations: Form1::tr() words them in the language shown.
namespace kelvora::texts {

inline constexpr char kCaption[] = "Kelvora";
inline constexpr char kRead[] = QT_TRANSLATE_NOOP("kelvora::Form1", "读取");
inline constexpr char kSave[] = QT_TRANSLATE_NOOP("kelvora::Form1", "保存");
inline constexpr char kClear[] = QT_TRANSLATE_NOOP("kelvora::Form1", "清空");
inline constexpr char kPrint[] = QT_TRANSLATE_NOOP("kelvora::Form1", "打印");
inline constexpr char kHelp[] = QT_TRANSLATE_NOOP("kelvora::Form1", "帮助");
inline constexpr char kClose[] = QT_TRANSLATE_NOOP("kelvora::Form1", "关闭");
inline constexpr char kPortState[] = QT_TRANSLATE_NOOP("kelvora::Form1", "串口状态");
inline constexpr char kLinkUp[] = QT_TRANSLATE_NOOP("kelvora::Form1", "通信成功");
inline constexpr char kLinkDown[] = QT_TRANSLATE_NOOP("kelvora::Form1", "通信失败");
inline constexpr char kTabLive[] = QT_TRANSLATE_NOOP("kelvora::Form1", "实时监控");
inline constexpr char kTabRecords[] = QT_TRANSLATE_NOOP("kelvora::Form1", "历史查询");
inline constexpr char kMenuFile[] = QT_TRANSLATE_NOOP("kelvora::Form1", "文件");
inline constexpr char kMenuOperate[] = QT_TRANSLATE_NOOP("kelvora::Form1", "操作");
inline constexpr char kMenuReport[] = QT_TRANSLATE_NOOP("kelvora::Form1", "测试报告…");
inline constexpr char kMenuArchive[] = QT_TRANSLATE_NOOP("kelvora::Form1", "档案…");
inline constexpr char kMenuChart[] = QT_TRANSLATE_NOOP("kelvora::Form1", "记录图表");
inline constexpr char kMenuHelp[] = QT_TRANSLATE_NOOP("kelvora::Form1", "帮助");
inline constexpr char kMenuAbout[] = QT_TRANSLATE_NOOP("kelvora::Form1", "关于软件");
// Both languages at once, so that it is found whichever is shown.
inline constexpr char kMenuLanguage[] = "语言 / Language";
inline constexpr char kChinese[] = "中文";
inline constexpr char kEnglish[] = "English";
inline constexpr char kSimSun[] = "宋体";

}  // namespace kelvora::texts
