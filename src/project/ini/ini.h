#pragma once
// The INI dialect and model: everything a reader or writer of project text needs.

#include "project/ini/lookup.h"
#include "project/ini/model.h"
#include "project/ini/text_saver.h"
#include "project/ini/value_text.h"
#include "project/ini/values.h"
