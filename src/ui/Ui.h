// The whole class library in one include: application, forms, the control kinds, graphics.
#pragma once

#include "ui/Application.h"
#include "ui/Classes.h"
#include "ui/Controls.h"
#include "ui/ExtControls.h"
#include "ui/Form.h"
#include "ui/Graphics.h"
#include "ui/ListControls.h"
#include "ui/Pages.h"
#include "ui/Properties.h"
#include "ui/StdControls.h"
