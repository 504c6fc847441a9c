#pragma once
// The images of the main menu's image list, as a form resource carries
// them: PNG data drawn by tools/menuimages when the program is built.

// Image 0, the badge of the maker's other game.
extern const unsigned char OtherGameImage[];
extern const int OtherGameImageSize;
