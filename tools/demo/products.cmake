# The demo products. Sizes spread from under a megabyte to over half a gigabyte; dates
# from years ago to the last few days (a negative DATE counts days back from the day of
# installation; MSI products are dated by Windows Installer on the day itself).

demo_product(photoviewer KIND nsis VIEW 32 NAME "Northwind Photo Viewer"
  PUBLISHER "Northwind Software" VERSION 3.2.1 EXE PhotoViewer FOLDER "Northwind Photo Viewer"
  SIZE_KB 14500 DATE 20230314 ICON N "#2e86c1")

# Listed among the Windows updates for the "(KB" in its name.
demo_product(suiteupdate KIND nsis VIEW 32 NAME "Update for Northwind Suite (KB1234567)"
  PUBLISHER "Northwind Software" VERSION 1.0 EXE SuiteUpdate FOLDER "Northwind Suite Update"
  KEY KB1234567 SIZE_KB 850 DATE -0 ICON U "#7f8c8d")

# A browser toolbar by name.
demo_product(searchtoolbar KIND nsis VIEW 32 NAME "Bluefin Search Toolbar"
  PUBLISHER "Bluefin Media" VERSION 5.4.0.12 EXE BluefinToolbar FOLDER "Bluefin Search Toolbar"
  SIZE_KB 2300 DATE -2 ICON B "#1abc9c")

# Registered in both views under the same name; the 64-bit copy carries less detail.
demo_product(pdfprinter KIND nsis VIEW twin NAME "Harborline PDF Printer"
  PUBLISHER "Harborline Labs" VERSION 2.8.0 EXE PdfPrinter FOLDER "Harborline PDF Printer"
  SIZE_KB 9800 DATE 20240902 ICON H "#c0392b")

demo_product(videostudio KIND nsis VIEW 64 NAME "Kestrel Video Studio"
  PUBLISHER "Kestrel Digital" VERSION 11.0.4 EXE VideoStudio FOLDER "Kestrel Video Studio"
  SIZE_KB 612000 DATE 20220118 ICON K "#8e44ad")

demo_product(mapexplorer KIND nsis VIEW 64 NAME "Solvang Map Explorer"
  PUBLISHER "Solvang Cartography" VERSION 4.1.0 EXE MapExplorer FOLDER "Solvang Map Explorer"
  SIZE_KB 231000 DATE -5 ICON S "#27ae60")

demo_product(notes KIND nsis VIEW user NAME "Quillmark Notes"
  PUBLISHER "Quillmark" VERSION 1.9.3 EXE QuillmarkNotes FOLDER "Quillmark Notes"
  SIZE_KB 5200 DATE 20250611 ICON Q "#f39c12")

demo_product(chess KIND nsis VIEW 32 NAME "Starward Chess"
  PUBLISHER "Lumen Games" VERSION 1.4.2 EXE StarwardChess FOLDER "Starward Chess"
  SIZE_KB 78000 DATE 20190507 ICON C "#34495e")

demo_product(syncclient KIND nsis VIEW 32 NAME "Tidewater Sync Client"
  PUBLISHER "Tidewater Networks" VERSION 6.0.2 EXE TidewaterSync FOLDER "Tidewater Sync"
  SIZE_KB 41000 DATE -9 ICON T "#16a085")

demo_product(archiver KIND msi VIEW 32 NAME "Fernhill Archive Manager"
  PUBLISHER "Fernhill Tools" VERSION 7.3.0 EXE ArchiveManager FOLDER "Fernhill Archive Manager"
  ICON F "#d35400")

demo_product(backup KIND msi VIEW 64 NAME "Cobaltline Backup Agent"
  PUBLISHER "Cobaltline Systems" VERSION 2.0.5 EXE BackupAgent FOLDER "Cobaltline Backup Agent"
  ICON A "#2c3e50")

# Installed as a system component: present in the registry, not meant to be listed.
demo_product(runtime KIND msi VIEW 32 NAME "Northwind Runtime Components"
  PUBLISHER "Northwind Software" VERSION 3.2.0 EXE NorthwindRuntimeHost FOLDER "Northwind Runtime"
  SYSTEM_COMPONENT ICON R "#95a5a6")
