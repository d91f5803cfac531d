#include "marovine/engine/work_items.h"

#include "marovine/engine/transfer_status.h"

namespace marovine {

const char* LinkStateText(int state) {
  switch (state) {
    case LS_DONE:
      return "終了しました。";
    case LS_SEARCHING:
      return "処理中です。設定の変更は反映されないかもしれません。";
    default:
      return "処理は終わっていません。待機中です。";
  }
}

const char* DownloadStateText(int state) {
  switch (state) {
    case DS_WAITING:
      return "処理は終わっていません。待機中です。";
    case DS_DONE:
      return transfer_text::kCompleted;
    case DS_RUNNING:
      return "処理中です。設定の変更は反映されないかもしれません。";
    case DS_RETRY_WAIT:
      return "再度処理待ちです。";
    case DS_PAGE_DONE:
      return "HTMLです。リンクを追加しました。";
    case DS_SIZE_REMOVED:
      return "サイズ範囲外により､削除されました。";
    default:
      return "エラーが発生しています。";
  }
}

int LinkStateImage(int state) {
  switch (state) {
    case LS_WAITING:
      return 0;
    case LS_SEARCHING:
      return 1;
    case LS_DONE:
      return 2;
    default:
      return 3;
  }
}

int LinkImageGroup(const LinkItem& item) { return item.mode + (item.reset_days != 0 ? 2 : 0); }

}  // namespace marovine
