// The image-processing library of the clipboard viewer: image headers and
// regions of interest laid over a picture's own memory, copies between
// regions, a bilinear resize and a 3 x 3 Gaussian filter.
//
// Pictures are 8 bits unsigned per channel, 1 to 4 channels, pixel-
// interleaved, origin top left. BGRA pictures are 4 channels with no alpha
// channel: the fourth byte is resized and filtered like the others. 4-channel
// pictures take the vector paths.
//
// A header never copies pixels. It points at memory that either the caller
// owns (a DIB section's bits: set imageData and imageDataOrigin yourself) or
// iplAllocateImage made; iplDeallocate frees only the latter. A region of
// interest (IplROI) restricts every operation to a rectangle of the picture;
// pixels written through it land in the picture's own memory.
//
// Errors never abort: a call with bad arguments does nothing (or returns 0)
// and leaves its status for iplGetErrStatus on the calling thread.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// depth: bits per channel. Only 8 bits unsigned is served.
#define IPL_DEPTH_8U 8

// dataOrder: only pixel-interleaved is served (no planar pictures).
#define IPL_DATA_ORDER_PIXEL 0
// origin: only top-left is served (rows top-down in memory).
#define IPL_ORIGIN_TL 0
// align: row alignment in bytes; widthStep is rounded up to it.
#define IPL_ALIGN_DWORD 4
#define IPL_ALIGN_QWORD 8

// Interpolation of iplResize.
#define IPL_INTER_NN 0
#define IPL_INTER_LINEAR 1

// What iplDeallocate frees (may be or-ed together).
#define IPL_IMAGE_HEADER 1
#define IPL_IMAGE_DATA 2
#define IPL_IMAGE_ROI 4
#define IPL_IMAGE_ALL (IPL_IMAGE_HEADER | IPL_IMAGE_DATA | IPL_IMAGE_ROI)

// Largest picture side a header accepts, in pixels.
#define IPL_MAX_SIDE 65536

// Fixed filters of iplFixedFilter. The 3 x 3 Gaussian (weights 1 2 1 / 2 4 2 /
// 1 2 1, sum 16) is the only one served. It runs as a vertical then a
// horizontal 1 2 1 pass, each rounded to nearest: every result is within 1
// of the exact weighted mean, and flat areas keep their value.
typedef enum { IPL_GAUSSIAN_3x3 = 6 } IplFilter;

// Status of the last call on this thread (iplGetErrStatus).
typedef enum {
  IPL_StsOk = 0,
  IPL_StsNullPtr = -1,      // a header or ROI argument is null
  IPL_StsBadArg = -2,       // a size, factor or flag is out of range
  IPL_StsBadRoi = -3,       // the region of interest leaves its picture
  IPL_StsUnsupported = -4,  // depth, channel count, layout or filter not served
  IPL_StsNoMem = -5         // allocation failed
} IplStatus;

// A rectangle of a picture, in pixels from the picture's top-left corner.
// coi (channel of interest) must be 0: all channels.
typedef struct _IplROI {
  int coi;
  int xOffset;
  int yOffset;
  int width;
  int height;
} IplROI;

typedef struct _IplImage {
  int nSize;                  // sizeof(IplImage)
  int nChannels;              // 1 to 4
  int alphaChannel;           // 0: no alpha channel (a fourth channel is plain data)
  int depth;                  // IPL_DEPTH_8U
  char colorModel[4];         // "RGB", "GRAY", ... (informative)
  char channelSeq[4];         // "BGRA", ... (informative; not NUL-terminated when 4 long)
  int dataOrder;              // IPL_DATA_ORDER_PIXEL
  int origin;                 // IPL_ORIGIN_TL
  int align;                  // IPL_ALIGN_DWORD or IPL_ALIGN_QWORD
  int width;                  // pixels, 0 to IPL_MAX_SIDE
  int height;                 // rows, 0 to IPL_MAX_SIDE
  IplROI* roi;                // null: the whole picture
  struct _IplImage* maskROI;  // must be null (masks are not served)
  void* imageId;              // free for the caller
  void* tileInfo;             // must be null (tiles are not served)
  int imageSize;              // bytes: widthStep x height
  char* imageData;            // first byte of the top row
  int widthStep;              // bytes from one row to the next (width x nChannels rounded to align)
  char* imageDataOrigin;      // what iplAllocateImage allocated, or the caller's memory
  int ownsData;               // 1 when imageData came from iplAllocateImage
} IplImage;

// A header with no pixels yet (imageData null). width x height x nChannels
// rounded to align x height must stay below 2 GiB. roi may be null (whole
// picture); the header keeps the pointer but does not own it until
// iplDeallocate(IPL_IMAGE_ROI). maskROI, imageId and tileInfo: pass null.
// Returns null on bad arguments.
IplImage* iplCreateImageHeader(int nChannels, int alphaChannel, int depth, const char* colorModel,
                               const char* channelSeq, int dataOrder, int origin, int align,
                               int width, int height, IplROI* roi, IplImage* maskROI, void* imageId,
                               void* tileInfo);

// Allocates imageSize bytes for the header's pixels; doFill != 0 sets every
// byte to fillValue (0 to 255).
void iplAllocateImage(IplImage* image, int doFill, int fillValue);

// Frees what flag names: IPL_IMAGE_ROI the header's ROI (and clears the
// pointer), IPL_IMAGE_DATA pixels that iplAllocateImage made (memory the
// caller set is never freed, only forgotten), IPL_IMAGE_HEADER the header
// itself (last). A null image does nothing.
void iplDeallocate(IplImage* image, int flag);

// A new ROI; null on allocation failure. The rectangle is checked when an
// operation uses it, not here.
IplROI* iplCreateROI(int coi, int xOffset, int yOffset, int width, int height);
void iplSetROI(IplROI* roi, int coi, int xOffset, int yOffset, int width, int height);
void iplDeleteROI(IplROI* roi);

// Copies the source region to the destination region, the size of the
// smaller of the two in each direction, from their top-left corners. Both
// pictures need the same depth and channel count. Overlapping regions of the
// same memory are copied as if through a temporary picture.
void iplCopy(IplImage* srcImage, IplImage* dstImage);

// Resizes the source region by xDst / xSrc across and yDst / ySrc down into
// the destination region, from its top-left corner, clipped to it. With
// factors dstRoiWidth / srcRoiWidth the source region fills the destination
// region exactly. interpolate: IPL_INTER_LINEAR (bilinear, pixel centres
// aligned when shrinking, edge pixels aligned when enlarging; weights in
// 1/256, so flat areas keep their exact value) or IPL_INTER_NN. Both regions
// need the same channel count; all factors positive. Shrinking by more than
// 2 skips source pixels (no area averaging), as bilinear sampling does.
void iplResize(IplImage* srcImage, IplImage* dstImage, int xDst, int xSrc, int yDst, int ySrc,
               int interpolate);

// Filters the source region into the destination region (the smaller size of
// the two, from their top-left corners). Neighbours outside the source region
// are read from the picture where they exist, so a picture filtered in tiles
// equals the picture filtered whole; beyond the picture's edge the edge
// pixel repeats. Returns 1 on success, 0 on error.
int iplFixedFilter(IplImage* srcImage, IplImage* dstImage, IplFilter filter);

// Status of the last call of this library on the calling thread.
IplStatus iplGetErrStatus(void);

#ifdef __cplusplus
}
#endif
