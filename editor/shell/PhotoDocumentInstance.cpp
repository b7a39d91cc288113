#include "editor/shell/PhotoDocument.h"

CPhotoDocument thePhotoDocument;
