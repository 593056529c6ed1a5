"""Drawing and file encoding for Tovask's icon, pointer and logo pictures."""
