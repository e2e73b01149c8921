#pragma once
// The INI dialect and model: everything a reader or writer of project text needs.

#include "project/ini_lookup.h"
#include "project/ini_model.h"
#include "project/ini_text_saver.h"
#include "project/ini_value_text.h"
#include "project/ini_values.h"
