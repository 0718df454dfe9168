#pragma once

#include "core/Image_Effect_Settings.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

// The picture effect chain: grey scale, sepia and inversion when switched on, then hue, colour
// controls, sharpening, box blur and exposure, then the rotation. Every step is a plain function
// on QImage giving the published effect of the filter it stands for; any thread may call them.
// Colour steps work on the stored (sRGB) values with Rec. 709 luminance; exposure works in linear
// light. Steps return a new picture and leave their input alone.
class ImageProcesser {
public:
    ImageProcesser() = delete;

    // The whole chain. A step that fails is skipped; the failed steps with their reasons, one a line,
    // go to `error` and to one log line, and the command that asked decides what to show. A failure
    // of the chain itself is logged and answers a null picture, as does a null input.
    // r is sharpness, g exposure, b blur; the transparency takes no part.
    static QImage Get_Processed_Image(const QImage &image, bool grayscale, bool sepia, bool invrtclr, float hue,
                                      float sat, float brt, float con, int rotate, float r, float g, float b,
                                      float tranprency);
    static QImage Get_Processed_Image(const QImage &image, const Image_Effect_Settings &settings,
                                      QString *error = nullptr);
    // The same chain; the flips and the rectangle play no part.
    static QImage Get_Processed_Image_Wizard(const QImage &image, bool grayscale, bool sepia, bool invrtclr,
                                             float hue, float sat, float brt, float con, int rotate, float r,
                                             float g, float b, float tranprency, bool fih, bool fiv,
                                             const QRectF &bounds);

    // The chain's pixel steps without the rotation, changing a picture the caller owns in place
    // instead of making a new one; the picture ends as 32-bit ARGB, not premultiplied. Failing steps
    // are left out and reported as by Get_Processed_Image; a picture of another format is converted
    // first, which throws std::runtime_error when there is no memory for it.
    static void applyStepsInPlace(QImage &picture, const Image_Effect_Settings &settings, QString *error = nullptr);

    // The chain for drawing: answered from the shared cache when this picture was processed with
    // these settings before. A failing step is written to the log once per picture and settings,
    // never shown in a box (drawing may run on any thread, and a box would stop painting).
    static QImage Get_Processed_Image_For_Drawing(const QImage &image, const Image_Effect_Settings &settings);

    // Single steps.
    static QImage GrayScale(const QImage &image);
    static QImage Sepia(const QImage &image);
    static QImage Invert_Color(const QImage &image);
    static QImage adjust_Hue(const QImage &image, float hue);
    static QImage adjust_Color_Control(const QImage &image, float sat, float brt, float con);
    static QImage adjust_Sharpness(const QImage &image, float value);
    static QImage adjust_boxBlur(const QImage &image, float value);
    static QImage adjust_EV(const QImage &image, float value);
    static QImage adjust_Gamma(const QImage &image, float value);
    // A blur close to a Gaussian of deviation `sigma` pixels: three passes of the box blur above, of
    // whole radii. Not a step of the chain (text shadows use it); below 0.2 the input comes back.
    static QImage gaussianBlur(const QImage &image, double sigma);

    // Fills the picture's covered area with `color` (source-atop) in place; no colour, no change.
    static QImage &imageTintedWithColor(QImage &image, const QColor &color);
    // The whole picture turned by `degrees`, in a picture just large enough; 0 answers the input.
    static QImage adjust_Rotate(const QImage &image, float degrees);
    static QImage imageRotatedByDegrees(const QImage &image, double degrees);

    // For tests: the step of that name fails (throws) until cleared with an empty name.
    static void failStepForTesting(const QString &stepName);
    // For tests: a positive size cuts every picture, however small, into pieces of that many rows
    // (and columns) shared among the threads; a negative one keeps every picture whole on one
    // thread; 0 brings back the usual choice by size.
    static void cutPicturesForTesting(int pieceSize);

private:
    using StepFailure = std::function<void(const QString &step, const QString &reason)>;
    static QImage runChain(const QImage &image, const Image_Effect_Settings &settings, const StepFailure &onFailure);
    // The pixel steps on `picture`, 32-bit ARGB; `owned` says whether the steps may overwrite it.
    // With `premultiply` the last step leaves premultiplied pixels (the answer says whether it did).
    static bool runPixelSteps(QImage &picture, bool owned, const Image_Effect_Settings &settings,
                              const StepFailure &onFailure, bool premultiply);
    static void reportFailures(const QStringList &failed, QString *error);
};
