#include "wizard/pages/tree_page_images_win32.h"

#include "common/owners_win32.h"
#include "resources/pathloom/bitmap_ids.h"

namespace {

// Node pictures in NodeIcon order.
constexpr int kNodeBitmaps[] = {
    IDB_NODE_PAGE_WITH_LINKS, IDB_NODE_FTP_SITE,  IDB_NODE_NOT_READ,    IDB_NODE_MAIL_LINK, IDB_NODE_READ_ERROR,
    IDB_NODE_NO_LINKS,        IDB_NODE_IMAGE_MAP, IDB_NODE_PAGE_LIMIT,  IDB_NODE_QUEUED,    IDB_NODE_TOP_OF_CHART,
    IDB_NODE_DONT_MAP,        IDB_NODE_FTP_FOLDER, IDB_NODE_FILE};
constexpr int kNodeImageWidth = 16;
constexpr int kNodeImageHeight = 13;
constexpr int kBusyFrameWidth = 60;
constexpr int kBusyFrameHeight = 45;

// A bitmap resource added to an image list, which cuts it into images of the list's width;
// white is the pictures' transparent colour.
void AddBitmap(HIMAGELIST list, HINSTANCE instance, int id, int images) {
  GdiOwner<HBITMAP> bitmap(static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
  if (bitmap) {
    ImageList_AddMasked(list, bitmap.get(), RGB(255, 255, 255));
    return;
  }
  // Without the picture the list keeps its numbering with blank images.
  int width = 0, height = 0;
  ImageList_GetIconSize(list, &width, &height);
  GdiOwner<HBITMAP> blank(CreateCompatibleBitmap(WindowDc(nullptr).get(), width * images, height));
  ImageList_Add(list, blank.get(), nullptr);
}

}  // namespace

TreePageImages::TreePageImages(HINSTANCE instance)
    : nodes(ImageList_Create(kNodeImageWidth, kNodeImageHeight, ILC_COLOR24 | ILC_MASK, 13, 0)),
      busy(ImageList_Create(kBusyFrameWidth, kBusyFrameHeight, ILC_COLOR24 | ILC_MASK, 15, 0)) {
  for (int id : kNodeBitmaps) AddBitmap(nodes.get(), instance, id, 1);
  AddBitmap(busy.get(), instance, IDB_ANIMATION, 15);
}
