// Every text the window shows, and the names of its window classes, as UTF-16 (wide literals),
// so that nothing the window needs depends on a code page table: the readable text is in the
// comment above each. Each text of the window's design is also exactly what code page 932
// spells with its given bytes (tests/texts_test.cc holds them).
#pragma once

// " File　分割　復元" (window title)
inline constexpr wchar_t kTitle[] = L" File\u3000\u5206\u5272\u3000\u5FA9\u5143";
// "ＭＳ Ｐゴシック" (font face)
inline constexpr wchar_t kFontFace[] = L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";
// "復元" (restore button)
inline constexpr wchar_t kTextRestore[] = L"\u5FA9\u5143";
// "で分割" (caption: split by)
inline constexpr wchar_t kTextSplitBy[] = L"\u3067\u5206\u5272";
// "Enterキー：" (caption: Enter key)
inline constexpr wchar_t kTextEnterKey[] = L"Enter\u30AD\u30FC\uFF1A";
// "分割" (split button)
inline constexpr wchar_t kTextSplit[] = L"\u5206\u5272";
// "分割サイズ" (the size field's name for screen readers: split size)
inline constexpr wchar_t kTextSizeName[] = L"\u5206\u5272\u30B5\u30A4\u30BA";
// "分割サイズを指定してください。" (please specify the split size)
inline constexpr wchar_t kTextAskSize[] =
    L"\u5206\u5272\u30B5\u30A4\u30BA\u3092\u6307\u5B9A\u3057\u3066\u304F\u3060\u3055\u3044\u3002";
// "○　分割完了" (split finished)
inline constexpr wchar_t kTextSplitDone[] = L"\u25CB\u3000\u5206\u5272\u5B8C\u4E86";
// "×　分割できませんでした。" (splitting failed)
inline constexpr wchar_t kTextSplitFailed[] =
    L"\u00D7\u3000\u5206\u5272\u3067\u304D\u307E\u305B\u3093\u3067\u3057\u305F\u3002";
// "○　復元成功　拡張子を元に戻しましょう。" (restore succeeded, put the extension back)
inline constexpr wchar_t kTextRestoreDone[] =
    L"\u25CB\u3000\u5FA9\u5143\u6210\u529F\u3000\u62E1\u5F35\u5B50\u3092\u5143\u306B\u623B\u3057"
    L"\u307E\u3057\u3087\u3046\u3002";
// "　" (one ideographic space: clears the information line)
inline constexpr wchar_t kTextClearInfo[] = L"\u3000";
// "×  復元失敗" (restore failed (two ASCII spaces))
inline constexpr wchar_t kTextRestoreFailed[] = L"\u00D7  \u5FA9\u5143\u5931\u6557";
// "ファイルオープンに失敗しました。" (opening the file failed)
inline constexpr wchar_t kTextOpenFailed[] =
    L"\u30D5\u30A1\u30A4\u30EB\u30AA\u30FC\u30D7\u30F3\u306B\u5931\u6557\u3057\u307E\u3057\u305F"
    L"\u3002";
// "×　中止しました。" (stopped, after Esc or closing during the work)
inline constexpr wchar_t kTextStopped[] = L"\u00D7\u3000\u4E2D\u6B62\u3057\u307E\u3057\u305F\u3002";
// "ファイルを分割・復元しています。" (splitting or restoring a file: why the session should wait)
inline constexpr wchar_t kTextWorkBlocksShutdown[] =
    L"\u30D5\u30A1\u30A4\u30EB\u3092\u5206\u5272\u30FB\u5FA9\u5143\u3057\u3066\u3044\u307E\u3059"
    L"\u3002";
// "メモリーが足りません。" (reason: not enough memory)
inline constexpr wchar_t kReasonNoMemory[] =
    L"\u30E1\u30E2\u30EA\u30FC\u304C\u8DB3\u308A\u307E\u305B\u3093\u3002";
// "ディスクの空き領域が足りません。" (reason: not enough free space on the disk)
inline constexpr wchar_t kReasonNoRoom[] =
    L"\u30C7\u30A3\u30B9\u30AF\u306E\u7A7A\u304D\u9818\u57DF\u304C\u8DB3\u308A\u307E\u305B\u3093"
    L"\u3002";
// "ピースの数が多すぎます。" (reason: more pieces than a set can hold)
inline constexpr wchar_t kReasonTooManyPieces[] =
    L"\u30D4\u30FC\u30B9\u306E\u6570\u304C\u591A\u3059\u304E\u307E\u3059\u3002";
// "復元の途中でピースが変わりました。" (reason: the pieces changed during the restore)
inline constexpr wchar_t kReasonSetChanged[] =
    L"\u5FA9\u5143\u306E\u9014\u4E2D\u3067\u30D4\u30FC\u30B9\u304C\u5909\u308F\u308A\u307E\u3057"
    L"\u305F\u3002";
// "ピースがないか、短すぎます。" (reason: a piece is missing, or shorter than its list says)
inline constexpr wchar_t kReasonPieceMissing[] =
    L"\u30D4\u30FC\u30B9\u304C\u306A\u3044\u304B\u3001\u77ED\u3059\u304E\u307E\u3059\u3002";
// "ピースの中身が壊れています。" (reason: a piece's bytes are not those its list names)
inline constexpr wchar_t kReasonPieceDamaged[] =
    L"\u30D4\u30FC\u30B9\u306E\u4E2D\u8EAB\u304C\u58CA\u308C\u3066\u3044\u307E\u3059\u3002";
// "チェックサムの一覧として読めません。" (reason: not a checksum list of this program)
inline constexpr wchar_t kReasonListUnreadable[] =
    L"\u30C1\u30A7\u30C3\u30AF\u30B5\u30E0\u306E\u4E00\u89A7\u3068\u3057\u3066\u8AAD\u3081"
    L"\u307E\u305B\u3093\u3002";
// "空いているピースの名前が見つかりません。" (reason: every base number drawn had its names taken)
inline constexpr wchar_t kReasonNoFreeName[] =
    L"\u7A7A\u3044\u3066\u3044\u308B\u30D4\u30FC\u30B9\u306E\u540D\u524D\u304C\u898B\u3064"
    L"\u304B\u308A\u307E\u305B\u3093\u3002";
// "読み取り専用のファイルは置き換えません。" (reason: a read-only output is never replaced)
inline constexpr wchar_t kReasonReadOnly[] =
    L"\u8AAD\u307F\u53D6\u308A\u5C02\u7528\u306E\u30D5\u30A1\u30A4\u30EB\u306F\u7F6E\u304D\u63DB"
    L"\u3048\u307E\u305B\u3093\u3002";
// "分割の途中でファイルが変わりました。" (reason: the source changed, or ended early, while it was
// cut)
inline constexpr wchar_t kReasonSourceChanged[] =
    L"\u5206\u5272\u306E\u9014\u4E2D\u3067\u30D5\u30A1\u30A4\u30EB\u304C\u5909\u308F\u308A"
    L"\u307E\u3057\u305F\u3002";
// "×　中止しています…" (stopping: the work is undoing what it made)
inline constexpr wchar_t kTextStopping[] =
    L"\u00D7\u3000\u4E2D\u6B62\u3057\u3066\u3044\u307E\u3059\u2026";
// "元の名前：" (after a restore from a checksum list, before the name of the file once cut)
inline constexpr wchar_t kTextOriginalName[] = L"\u5143\u306E\u540D\u524D\uFF1A";
// "削除できなかったファイル：" (before a file that a failed split could not remove)
inline constexpr wchar_t kTextLeftBehind[] =
    L"\u524A\u9664\u3067\u304D\u306A\u304B\u3063\u305F\u30D5\u30A1\u30A4\u30EB\uFF1A";
// " ほか " (after that file, before the number of the others)
inline constexpr wchar_t kTextOthers[] = L" \u307B\u304B ";
// " 件" (after that number: files)
inline constexpr wchar_t kTextFilesCount[] = L" \u4EF6";
// "エラー " (an error the system has no words for, before its number)
inline constexpr wchar_t kReasonUnknownError[] = L"\u30A8\u30E9\u30FC ";

// "修復用ピースなし(&0)" (the system menu: no recovery pieces)
inline constexpr wchar_t kTextRecoveryNone[] =
    L"\u4FEE\u5FA9\u7528\u30D4\u30FC\u30B9\u306A\u3057(&0)";
// "修復用ピース 1 個(&1)" (one recovery piece)
inline constexpr wchar_t kTextRecoveryOne[] = L"\u4FEE\u5FA9\u7528\u30D4\u30FC\u30B9 1 \u500B(&1)";
// "修復用ピース 2 個(&2)" (two recovery pieces)
inline constexpr wchar_t kTextRecoveryTwo[] = L"\u4FEE\u5FA9\u7528\u30D4\u30FC\u30B9 2 \u500B(&2)";
// "修復用ピース 3 個(&3)" (three recovery pieces)
inline constexpr wchar_t kTextRecoveryThree[] =
    L"\u4FEE\u5FA9\u7528\u30D4\u30FC\u30B9 3 \u500B(&3)";
// "修復用ピース 1 割(&T)" (one recovery piece for every ten pieces)
inline constexpr wchar_t kTextRecoveryTenth[] =
    L"\u4FEE\u5FA9\u7528\u30D4\u30FC\u30B9 1 \u5272(&T)";
// "修復用ピース " (after a split, before the number of recovery pieces made)
inline constexpr wchar_t kTextRecoveryMade[] = L"\u4FEE\u5FA9\u7528\u30D4\u30FC\u30B9 ";
// " 個" (after that number: pieces)
inline constexpr wchar_t kTextRecoveryCount[] = L" \u500B";
// "ピースが多すぎるため、修復用ピースは作りませんでした。" (no recovery pieces: the set has more
// pieces than they can protect)
inline constexpr wchar_t kTextRecoveryRefused[] =
    L"\u30D4\u30FC\u30B9\u304C\u591A\u3059\u304E\u308B\u305F\u3081\u3001\u4FEE\u5FA9\u7528"
    L"\u30D4\u30FC\u30B9\u306F\u4F5C\u308A\u307E\u305B\u3093\u3067\u3057\u305F\u3002";
// "　修復：" (after the original name, before the first piece a restore rebuilt)
inline constexpr wchar_t kTextRepaired[] = L"\u3000\u4FEE\u5FA9\uFF1A";
// "修復用ピースが " (reason: recovery pieces are missing, before how many)
inline constexpr wchar_t kReasonRecoveryShort[] = L"\u4FEE\u5FA9\u7528\u30D4\u30FC\u30B9\u304C ";
// " 個足りません。" (after that number: are lacking)
inline constexpr wchar_t kReasonRecoveryShortEnd[] = L" \u500B\u8DB3\u308A\u307E\u305B\u3093\u3002";

// ASCII texts and class names.
inline constexpr wchar_t kTextPathStart[] = L"file...";
inline constexpr wchar_t kTextByte[] = L"byte";
inline constexpr wchar_t kTextKB[] = L"KB";
inline constexpr wchar_t kTextMB[] = L"MB";
inline constexpr wchar_t kTextInitialSize[] = L"500";
inline constexpr wchar_t kTextSizeSuffix[] = L" byte";
inline constexpr wchar_t kClassName[] = L"NORMAL0";
inline constexpr wchar_t kClassEdit[] = L"EDIT";
inline constexpr wchar_t kClassButton[] = L"BUTTON";
inline constexpr wchar_t kClassStatic[] = L"STATIC";
