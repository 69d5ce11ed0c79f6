#pragma once

// The tags the error report names, one per reporting procedure. The trailing
// blank belongs to the tag.
namespace vt::tag {

inline constexpr char ReadFileToStringFSO[] = "in Tonevale2021/08/31.Main.ReadFileToStringFSO ";
inline constexpr char FormLoad[] = "in Tonevale2021/08/31.Form1.Form_Load ";
inline constexpr char FormQueryUnload[] = "in Tonevale2021/08/31.Form1.Form_QueryUnload ";
inline constexpr char PushButton1Click[] = "in Tonevale2021/08/31.Form1.PushButton1_Click ";
inline constexpr char PushButton3Click[] = "in Tonevale2021/08/31.Form1.PushButton3_Click ";
inline constexpr char PushButton2Click[] = "in Tonevale2021/08/31.Form1.PushButton2_Click ";
inline constexpr char PushButton14Click[] = "in Tonevale2021/08/31.Form1.PushButton14_Click ";
inline constexpr char SpeakLoud[] = "in Tonevale2021/08/31.Speak.SpeakLoud ";
inline constexpr char Slider1Change[] = "in Tonevale2021/08/31.Form1.Slider1_Change ";
inline constexpr char Slider2Change[] = "in Tonevale2021/08/31.Form1.Slider2_Change ";
inline constexpr char PushButton8Click[] = "in Tonevale2021/08/31.Form1.PushButton8_Click ";
inline constexpr char CutTextFileFSO[] = "in Tonevale2021/08/31.Speak.CutTextFileFSO ";
inline constexpr char SaveToWAV[] = "in Tonevale2021/08/31.Speak.SaveToWAV ";
inline constexpr char WAVToMP3[] = "in Tonevale2021/08/31.Speak.WAVToMP3 ";
inline constexpr char PushButton7Click[] = "in Tonevale2021/08/31.Form1.PushButton7_Click ";
inline constexpr char PushButton4Click[] = "in Tonevale2021/08/31.Form1.PushButton4_Click ";
inline constexpr char PushButton5Click[] = "in Tonevale2021/08/31.Form1.PushButton5_Click ";
inline constexpr char PushButton6Click[] = "in Tonevale2021/08/31.Form1.PushButton6_Click ";
inline constexpr char PushButton9Click[] = "in Tonevale2021/08/31.Form1.PushButton9_Click ";

} // namespace vt::tag
