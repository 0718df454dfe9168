#pragma once

// Every kind of graphic, for code that makes graphics of any kind.

#include "document/SKTLine.h"
#include "document/SKTText.h"
#include "document/SKTImage.h"
#include "document/SKTSignature.h"
#include "document/SKTBarcode.h"
#include "document/Shape_Control.h"
