#include "platform/file_error.h"

#include "platform/exceptions.h"

#include <cerrno>
#include <cstring>

std::string FileErrorReason(int err) {
    switch (err) {
    case ENOENT: return "ファイルまたはフォルダーが見つかりません";
    case EACCES:
    case EPERM: return "アクセスが拒否されました";
    case EISDIR: return "フォルダーです";
    case ENOTDIR: return "パスの途中がフォルダーではありません";
    case ENOSPC: return "ディスクの空き容量が足りません";
    case EDQUOT: return "ディスクの使用量の上限を超えました";
    case EROFS: return "読み取り専用のドライブです";
    case ENAMETOOLONG: return "ファイル名が長すぎます";
    case EMFILE:
    case ENFILE: return "開いているファイルが多すぎます";
    case ENOMEM: return "メモリが足りません";
    case EIO: return "入出力エラーが発生しました";
    case EFBIG: return "ファイルの大きさの上限を超えました";
    case ENODEV: return "通常のファイルではありません";
    case ELOOP: return "シンボリックリンクです";
    default: return "エラー " + std::to_string(err) + " (" + std::strerror(err) + ")";
    }
}

std::string DiskFullMessage(int err) {
    if (err == EFBIG) return "ファイルの大きさの上限を超えました";
    return err == ENOSPC || err == EDQUOT ? "ディスクがいっぱいです" : "";
}

std::string FileErrorMessage(const std::string& fileName, const char* action, int err) {
    return "ファイル \"" + fileName + "\" を" + action + "。" + FileErrorReason(err) + "。";
}

void ThrowFileError(const std::string& fileName, const char* action, int err) {
    throw EFileError(FileErrorMessage(fileName, action, err));
}
