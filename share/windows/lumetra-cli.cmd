@rem lumetra-cli from a command prompt: this folder (bin) is the one the installer can add to PATH.
@"%~dp0..\lumetra-cli.exe" %*
