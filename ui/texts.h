// Every text the program shows, as bytes in code page 932 (Shift-JIS). The readable text is in
// the comment above each; the bytes are written out so that no compiler charset setting can
// change them.
#pragma once

// " File　分割　復元" (window title)
inline constexpr char kTitle[] = " File\x81@\x95\xAA\x8A\x84\x81@\x95\x9C\x8C\xB3";
// "ＭＳ Ｐゴシック" (font face)
inline constexpr char kFontFace[] =
    "\x82l\x82r \x82o\x83S\x83V\x83"
    "b\x83N";
// "復元" (restore button)
inline constexpr char kTextRestore[] = "\x95\x9C\x8C\xB3";
// "で分割" (caption: split by)
inline constexpr char kTextSplitBy[] = "\x82\xC5\x95\xAA\x8A\x84";
// "Enterキー：" (caption: Enter key)
inline constexpr char kTextEnterKey[] =
    "Enter\x83L\x81[\x81"
    "F";
// "分割" (split button)
inline constexpr char kTextSplit[] = "\x95\xAA\x8A\x84";
// "分割サイズを指定してください。" (please specify the split size)
inline constexpr char kTextAskSize[] =
    "\x95\xAA\x8A\x84\x83T\x83"
    "C\x83Y\x82\xF0\x8Ew\x92\xE8\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
    "B";
// "○　分割完了" (split finished)
inline constexpr char kTextSplitDone[] = "\x81\x9B\x81@\x95\xAA\x8A\x84\x8A\xAE\x97\xB9";
// "×　分割できませんでした。" (splitting failed)
inline constexpr char kTextSplitFailed[] =
    "\x81~\x81@\x95\xAA\x8A\x84\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81"
    "B";
// "○　復元成功　拡張子を元に戻しましょう。" (restore succeeded, put the extension back)
inline constexpr char kTextRestoreDone[] =
    "\x81\x9B\x81@\x95\x9C\x8C\xB3\x90\xAC\x8C\xF7\x81@"
    "\x8Ag\x92\xA3\x8Eq\x82\xF0\x8C\xB3\x82\xC9\x96\xDF\x82\xB5\x82\xDC\x82\xB5\x82\xE5\x82\xA4\x81"
    "B";
// "　" (one ideographic space: clears the information line)
inline constexpr char kTextClearInfo[] = "\x81@";
// "×  復元失敗" (restore failed (two ASCII spaces))
inline constexpr char kTextRestoreFailed[] = "\x81~  \x95\x9C\x8C\xB3\x8E\xB8\x94s";
// "ファイルオープンに失敗しました。" (opening the file failed)
inline constexpr char kTextOpenFailed[] =
    "\x83t\x83@\x83"
    "C\x83\x8B\x83I\x81[\x83v\x83\x93\x82\xC9\x8E\xB8\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
    "B";
// "×　中止しました。" (stopped, after Esc or closing during the work)
inline constexpr char kTextStopped[] =
    "\x81~\x81@\x92\x86\x8E~\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
    "B";
// "ファイルを分割・復元しています。" (splitting or restoring a file: why the session should wait)
inline constexpr char kTextWorkBlocksShutdown[] =
    "\x83t\x83@\x83"
    "C\x83\x8B\x82\xF0\x95\xAA\x8A\x84\x81\x45\x95\x9C\x8C\xB3\x82\xB5\x82\xC4\x82\xA2\x82"
    "\xDC\x82\xB7\x81"
    "B";

// ASCII texts.
inline constexpr char kTextPathStart[] = "file...";
inline constexpr char kTextByte[] = "byte";
inline constexpr char kTextKB[] = "KB";
inline constexpr char kTextMB[] = "MB";
inline constexpr char kTextInitialSize[] = "500";
inline constexpr char kTextSizeSuffix[] = " byte";
inline constexpr char kClassName[] = "NORMAL0";
