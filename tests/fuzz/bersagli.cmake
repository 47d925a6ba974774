# Every fuzz target: its folder under tests/ (where fuzz/fuzz_<name>.cpp and
# the seeds fuzz/semi_<name>/ live) and the sources it exercises. Read by
# the clang sub-build, which builds them, and by the main build, which runs
# each for a minute in the suite.
halvora_fuzz(voce_cache DIR ai_usage SOURCES
  Halvora_V2_0/ai_usage/AnalisiUsoIA.cpp Halvora_V2_0/ai_usage/AnalisiVoceCache.cpp)
halvora_fuzz(riga_codex DIR ai_usage SOURCES
  Halvora_V2_0/ai_usage/AnalisiUsoIA.cpp Halvora_V2_0/ai_usage/AnalisiRigaCodex.cpp)
halvora_fuzz(schema_url DIR shell SOURCES
  Halvora_V2_0/shell/SchemaURL.cpp Halvora_V2_0/common/AttivitaManager.cpp Halvora_V2_0/ai_usage/FornitoreIA.cpp
  platform/Simboli.cpp platform/AppIcons.cpp platform/DesktopEntries.cpp tests/fakes/FakeClock.cpp platform/SystemClock.cpp)
halvora_fuzz(lingua DIR shell SOURCES
  Halvora_V2_0/shell/LinguaManager.cpp Halvora_V2_0/Resources/Traduzioni.cpp platform/UserDefaults.cpp
  platform/FileIni.cpp platform/SalvataggioSicuro.cpp)
halvora_fuzz(feed DIR update SOURCES Halvora_V2_0/update/FeedAggiornamenti.cpp)
halvora_fuzz(voci_zip DIR update SOURCES Halvora_V2_0/update/helper/VociZip.cpp)
halvora_fuzz(blocco_brano DIR media SOURCES
  Halvora_V2_0/media/SorgenteSistema.cpp Halvora_V2_0/media/helper/BloccoNowPlaying.cpp platform/Aiutanti.cpp platform/Processi.cpp
  tests/fakes/FakeClock.cpp platform/SystemClock.cpp)
halvora_fuzz(calendario DIR agenda SOURCES
  Halvora_V2_0/agenda/ArchivioCalendario.cpp Halvora_V2_0/agenda/ArchivioAgenda.cpp Halvora_V2_0/agenda/VociIcal.cpp
  Halvora_V2_0/agenda/Ical.cpp Halvora_V2_0/agenda/SceltePromemoria.cpp platform/FileIni.cpp platform/SalvataggioSicuro.cpp)
halvora_fuzz(nomi_vassoio DIR tray SOURCES Halvora_V2_0/tray/PersistenzaVassoio.cpp platform/SalvataggioSicuro.cpp)
# The Word reader and the parts it reads a package with.
set(lettore_docx Halvora_V2_0/tray/LettoreDocx.cpp Halvora_V2_0/tray/XmlDocx.cpp Halvora_V2_0/tray/ProprietaRun.cpp
  Halvora_V2_0/tray/ProprietaParagrafo.cpp Halvora_V2_0/tray/StiliDocx.cpp Halvora_V2_0/tray/NumerazioneDocx.cpp
  Halvora_V2_0/tray/CorpoDocx.cpp)
halvora_fuzz(rtf DIR tray SOURCES
  Halvora_V2_0/tray/LettoreRtf.cpp ${lettore_docx} Halvora_V2_0/tray/DocumentoWord.cpp
  Halvora_V2_0/tray/SegniElenco.cpp)
halvora_fuzz(docx DIR tray SOURCES ${lettore_docx} Halvora_V2_0/tray/DocumentoWord.cpp
  Halvora_V2_0/tray/SegniElenco.cpp)
halvora_fuzz(doc DIR tray SOURCES Halvora_V2_0/tray/word97/CostruttoreDoc.cpp ${lettore_docx}
  Halvora_V2_0/tray/DocumentoWord.cpp Halvora_V2_0/tray/SegniElenco.cpp)
halvora_fuzz(codifica DIR tray SOURCES Halvora_V2_0/tray/CodificaTesto.cpp)
halvora_fuzz(ini DIR platform SOURCES platform/FileIni.cpp)
halvora_fuzz(impostazioni DIR platform SOURCES platform/UserDefaults.cpp platform/FileIni.cpp
  platform/SalvataggioSicuro.cpp)
halvora_fuzz(offerte_wayland DIR platform SOURCES platform/wayland/OfferteWayland.cpp platform/Pasteboard.cpp)
halvora_fuzz(mp4 DIR voice SOURCES Halvora_V2_0/voice/LettoreMp4.cpp)
