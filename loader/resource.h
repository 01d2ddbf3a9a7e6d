#pragma once
#define IDD_ABOUT 103
