#pragma once

// Shared by the resource script and the code that shows the version.
#define REELBOND_VERSION_NUMBERS 1, 0, 1, 0
#define REELBOND_VERSION_TEXT "1.01"
#define REELBOND_COMPANY_TEXT "The Reelbond developers"
#define REELBOND_COPYRIGHT_TEXT "(C) The Reelbond team"
