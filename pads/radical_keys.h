#pragma once

#include <array>

#include "pads/key_rows.h"

namespace yg {

// The 43 radical keys: a click types the radical's whole stroke code (h horizontal, i vertical,
// j left-falling, k dot, l turning), with no Escape before and no candidate choice after.
inline constexpr std::array<CodeKey, 43> kRadicalKeys{{
    {Ctl::Comm1, u"ilhihk"},            // 虫
    {Ctl::Comm2, u"jlilhihh"},          // 鱼
    {Ctl::Comm3, u"llh"},               // 马
    {Ctl::Comm4, u"ihljhl"},            // 虍
    {Ctl::Comm5, u"jlklh"},             // 鸟
    {Ctl::Comm6, u"jljlhhi"},           // 角
    {Ctl::Comm7, u"hiihilhhi"},         // 革
    {Ctl::Comm8, u"ljh"},               // 女
    {Ctl::Comm9, u"jilhhhj"},           // 身
    {Ctl::Comm10, u"ihihjkli"},         // 齿
    {Ctl::Comm11, u"jlhh"},             // 月
    {Ctl::Comm12, u"jhhl"},             // 气
    {Ctl::Comm13, u"ilhihih"},          // 足
    {Ctl::Comm14, u"hihihjk"},          // 走
    {Ctl::Comm15, u"jjlkhk"},           // 舟
    {Ctl::Comm16, u"hlih"},             // 车
    {Ctl::Comm17, u"kki"},              // 忄
    {Ctl::Comm18, u"khjkh"},            // 疒
    {Ctl::Comm19, u"kkl"},              // 宀
    {Ctl::Comm20, u"khlj"},             // 方
    {Ctl::Comm21, u"klijk"},            // 衤
    {Ctl::Comm22, u"jhhhl"},            // 钅
    {Ctl::Comm23, u"kjjk"},             // 火
    {Ctl::Comm24, u"llh"},              // 纟 (same code as 马)
    {Ctl::Comm25, u"hjilh"},            // 石
    {Ctl::Comm26, u"hii"},              // 艹
    {Ctl::Comm27, u"jhkjhk"},           // 竹
    {Ctl::Comm28, u"hklikkkk"},         // 雨
    {Ctl::Comm29, u"kjilijkjhjk"},      // 敝
    {Ctl::Comm30, u"klik"},             // 礻
    {Ctl::Command3, u"lhl"},            // 弓
    {Ctl::Command4, u"ilh"},            // 口
    {Ctl::Command66, u"jlj"},           // 犭
    {Ctl::Command69, u"jihlhhlkklkk"},  // 鼠
    {Ctl::Command71, u"ilkjhihhkkkk"},  // 黑
    {Ctl::Command72, u"khjliihhljl"},   // 鹿 (on the panel itself, not in Frame1)
    {Ctl::Command73, u"illklilhh"},     // 骨 (on the panel itself, not in Frame1)
    {Ctl::Command74, u"jilhhhilhihh"},  // 鼻
    {Ctl::Command75, u"hiljlhh"},       // 酉
    {Ctl::Command76, u"hihhhlkjjj"},    // 髟
    {Ctl::Command77, u"jkkjljj"},       // 豸
    {Ctl::Command78, u"jilhhjllk"},     // 鬼
    {Ctl::Command79, u"hiihhh"},        // 耳
}};

}  // namespace yg
