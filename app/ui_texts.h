#pragma once

// Interface texts of the window, kept together so they are written once.
namespace kelvora::texts {

inline constexpr char kCaption[] = "Kelvora";
inline constexpr char kRead[] = "读取";
inline constexpr char kSave[] = "保存";
inline constexpr char kClear[] = "清空";
inline constexpr char kPrint[] = "打印";
inline constexpr char kHelp[] = "帮助";
inline constexpr char kClose[] = "关闭";
inline constexpr char kPortState[] = "串口状态";
inline constexpr char kLinkUp[] = "通信成功";
inline constexpr char kLinkDown[] = "通信失败";
inline constexpr char kTabLive[] = "实时监控";
inline constexpr char kTabRecords[] = "历史查询";
inline constexpr char kMenuFile[] = "文件";
inline constexpr char kMenuOperate[] = "操作";
inline constexpr char kMenuChart[] = "记录图表";
inline constexpr char kMenuHelp[] = "帮助";
inline constexpr char kMenuAbout[] = "关于软件";
inline constexpr char kSimSun[] = "宋体";

}  // namespace kelvora::texts
