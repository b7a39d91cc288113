// "Rain on glass"'s drop texture: plugins/Creative/rain.png in the program
// folder, 30 drop tiles of 100 x 100 in 3 rows of 10.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteDropletPictures(const std::string& programFolder);
