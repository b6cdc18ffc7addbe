// Colours shared by every picture of the skin. The window code paints its own texts and
// pictures on top of these, so a few of them (band fill, circle fill, key) are part of the
// contract with it and must not drift.
#pragma once

#include <QColor>

namespace palette {

// Brushed metal of the frame, before streaks and sheen.
inline const QColor metal{193, 197, 202};

// Light blue glass of the centre text band; flat, so the sun and moon pictures (whose
// background is this colour) sit on it without a seam.
inline const QColor band{214, 230, 243};

// Dial face: pale at the rim where the second ticks and the marker run, a little deeper
// towards the globe.
inline const QColor faceRim{241, 246, 251};
inline const QColor faceInner{216, 230, 243};

// Scale marks and engraved numbers.
inline const QColor mark{38, 50, 62};
inline const QColor engraved{58, 64, 72};

// City label panel: yellow day labels need a deep tone, dark grey night labels a pale one.
inline const QColor dayTop{62, 121, 175};
inline const QColor dayBottom{50, 104, 158};
inline const QColor nightTop{214, 224, 234};
inline const QColor nightBottom{199, 212, 226};

// Hour circles and their digits.
inline const QColor circleFill{226, 237, 247};
inline const QColor ring{31, 78, 121};
inline const QColor ringLight{52, 107, 158};
inline const QColor digit{27, 70, 110};

// Never used inside a picture: the window treats it as transparent.
inline const QColor key{255, 0, 255};

// Text colour of the window's centre labels, used for the delta sign.
inline const QColor text{39, 100, 146};

} // namespace palette
